// A run's link: the recording's binary form and back, and the link's text
// around the deflated form (run_link.h has the format).
#include "player/run_link.h"

#include <algorithm>
#include <array>

#include "player/key_names.h"
#include "player/record.h"
#include "player/run_link_deflate.h"
#include "player/version.h"
#include "winapi/files.h"
#include "winapi/texts.h"

namespace player::run_link {
namespace {

using Kind = record::Entry::Kind;

constexpr std::string_view kMark = "#run=";
constexpr uint8_t kMagic = 'k';  // before the format: a link of ours, not another's #run=
constexpr int64_t kPeriod = 50;  // of 60 Hz, in thirds of a millisecond
constexpr size_t kMostVersionBytes = 64;
constexpr int64_t kClockEnd = 0xFFFFFFFF;  // the clock's last reading
constexpr char kBase64Url[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// The codes of the lines other than frames.
constexpr uint64_t kSeedCode = 0;
constexpr uint64_t kInactiveCode = 1;
constexpr uint64_t kActiveCode = 2;
constexpr uint64_t kCloseCode = 3;
constexpr uint64_t kLanguageCode = 4;  // + the winapi::texts::Language
constexpr uint64_t kKeyCode = 8;       // + twice the key's place in kKeyNames, + 1 for up
constexpr uint64_t kCodeEnd = kKeyCode + 2 * kKeyNames.size();

// 0, -1, 1, -2... as 0, 1, 2, 3...
uint64_t Zigzag(int64_t value) { return (static_cast<uint64_t>(value) << 1) ^ (value < 0 ? ~uint64_t{0} : 0); }
int64_t Unzigzag(uint64_t value) { return static_cast<int64_t>(value >> 1) ^ -static_cast<int64_t>(value & 1); }

void PutVarint(uint64_t value, std::vector<uint8_t>* out) {
    while (value >= 0x80) {
        out->push_back(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    out->push_back(static_cast<uint8_t>(value));
}

uint32_t Crc32(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Where a frame's first reading of the clock is expected: on a steady 60 Hz
// grid, whose phase the readings narrow down to a third of a millisecond.
// A busy machine's frames come late by a little, then on time again (the
// pacing keeps its schedule), so that what is written is mostly a few small
// numbers; a frame that comes early, or more than a frame and a half late,
// sets the grid again (the pacing has started again from it).
class Pacing {
public:
    int64_t Expected() const { return set_ ? (from_ + to_ - 1) / 6 : 0; }
    void Saw(uint32_t reading) {
        const int64_t from = static_cast<int64_t>(reading) * 3, to = from + 3;
        if (!set_ || to <= from_ || from >= from_ + kLateRestarts) {
            set_ = true;
            from_ = from;
            to_ = to;
        } else if (from < to_) {
            from_ = std::max(from_, from);
            to_ = std::min(to_, to);
        }
        from_ += kPeriod;
        to_ += kPeriod;
    }

private:
    static constexpr int64_t kLateRestarts = kPeriod * 3 / 2;
    // The next frame's time lies in [from_, to_), in thirds of a millisecond.
    bool set_ = false;
    int64_t from_ = 0, to_ = 0;
};

// What the binary form is made of before it is put together.
struct Parts {
    std::vector<uint8_t> lines;   // the lines other than frames
    std::vector<uint8_t> frames;  // the frames
    uint64_t lineCount = 0;
    uint64_t frameCount = 0;
    uint64_t framesAtLastLine = 0;
    Pacing pacing;
};

uint64_t CodeOf(const record::Entry& entry) {
    switch (entry.kind) {
        case Kind::kSeed: return kSeedCode;
        case Kind::kLanguage: return kLanguageCode + static_cast<uint64_t>(entry.number);
        case Kind::kActivate: return entry.number != 0 ? kActiveCode : kInactiveCode;
        case Kind::kClose: return kCloseCode;
        case Kind::kDown:
        case Kind::kUp: break;
        case Kind::kFrame: return kCodeEnd;
    }
    const auto key = std::find_if(kKeyNames.begin(), kKeyNames.end(),
                                  [&](const KeyName& k) { return k.virtualKey == entry.number; });
    return kKeyCode + 2 * static_cast<uint64_t>(key - kKeyNames.begin()) + (entry.kind == Kind::kUp);
}

void AddFrame(const std::vector<uint32_t>& reads, Parts* parts) {
    const int64_t off = static_cast<int64_t>(reads[0]) - parts->pacing.Expected();
    parts->pacing.Saw(reads[0]);
    PutVarint(Zigzag(off) << 1 | (reads.size() > 1), &parts->frames);
    if (reads.size() > 1) {
        PutVarint(reads.size() - 2, &parts->frames);
        for (size_t i = 1; i < reads.size(); ++i) {
            PutVarint(Zigzag(static_cast<int64_t>(reads[i]) - static_cast<int64_t>(reads[i - 1])), &parts->frames);
        }
    }
    ++parts->frameCount;
}

void Add(const record::Entry& entry, Parts* parts) {
    if (entry.kind == Kind::kFrame) return AddFrame(entry.reads, parts);
    PutVarint(parts->frameCount - parts->framesAtLastLine, &parts->lines);
    parts->framesAtLastLine = parts->frameCount;
    PutVarint(CodeOf(entry), &parts->lines);
    if (entry.kind == Kind::kSeed) PutVarint(Zigzag(entry.number), &parts->lines);
    ++parts->lineCount;
}

// Reads a binary form, refusing whatever the writer above would not have
// written: each number in its one shortest form, nothing left over.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool Varint(uint64_t* value) {
        uint64_t result = 0;
        for (int shift = 0; shift < 64 && at_ < bytes_.size(); shift += 7) {
            const uint8_t byte = bytes_[at_++];
            if (shift == 63 && byte > 1) return false;
            result |= static_cast<uint64_t>(byte & 0x7F) << shift;
            if (byte < 0x80) {
                *value = result;
                return byte != 0 || shift == 0;
            }
        }
        return false;
    }
    bool Signed(int64_t* value) {
        uint64_t raw = 0;
        if (!Varint(&raw)) return false;
        *value = Unzigzag(raw);
        return true;
    }
    bool Bytes(size_t count, std::string* into) {
        if (count > Left()) return false;
        into->assign(reinterpret_cast<const char*>(bytes_.data() + at_), count);
        at_ += count;
        return true;
    }
    size_t Left() const { return bytes_.size() - at_; }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

// One line other than a frame: its place among the frames, and its entry.
struct Placed {
    uint64_t frames;
    record::Entry entry;
};

bool EntryOfCode(uint64_t code, Reader* reader, record::Entry* entry) {
    if (code == kSeedCode) {
        entry->kind = Kind::kSeed;
        return reader->Signed(&entry->number);
    }
    if (code == kInactiveCode || code == kActiveCode) *entry = record::Entry(Kind::kActivate, code == kActiveCode);
    else if (code == kCloseCode) *entry = record::Entry(Kind::kClose);
    else if (code >= kLanguageCode && code < kLanguageCode + winapi::texts::kLanguageCount)
        *entry = record::Entry(Kind::kLanguage, static_cast<int64_t>(code - kLanguageCode));
    else if (code >= kKeyCode && code < kCodeEnd)
        *entry =
            record::Entry((code - kKeyCode) % 2 ? Kind::kUp : Kind::kDown, kKeyNames[(code - kKeyCode) / 2].virtualKey);
    else return false;
    return true;
}

bool ReadLines(Reader* reader, uint64_t count, uint64_t frames, std::vector<Placed>* lines) {
    uint64_t place = 0;
    for (uint64_t i = 0; i < count; ++i) {
        uint64_t gap = 0, code = 0;
        if (!reader->Varint(&gap) || gap > frames - place || !reader->Varint(&code)) return false;
        place += gap;
        Placed line{place, record::Entry()};
        if (!EntryOfCode(code, reader, &line.entry)) return false;
        lines->push_back(std::move(line));
    }
    return true;
}

bool ReadFrame(Reader* reader, Pacing* pacing, record::Entry* frame) {
    uint64_t head = 0;
    int64_t reading = pacing->Expected();
    if (!reader->Varint(&head)) return false;
    reading += Unzigzag(head >> 1);
    frame->reads.clear();
    uint64_t more = 0;
    if ((head & 1) && (!reader->Varint(&more) || more > reader->Left())) return false;
    for (uint64_t i = 0; i < ((head & 1) ? more + 2 : 1); ++i) {
        int64_t step = 0;
        if (i > 0 && (!reader->Signed(&step) || step < -kClockEnd || step > kClockEnd)) return false;
        reading += step;
        if (reading < 0 || reading > kClockEnd) return false;
        frame->reads.push_back(static_cast<uint32_t>(reading));
    }
    pacing->Saw(frame->reads[0]);
    return true;
}

// The text's lines from the frames and the other lines in their places;
// false when it would be longer than a file the game reads.
bool WriteRun(Reader* reader, uint64_t frameCount, const std::vector<Placed>& lines, std::string* text) {
    Pacing pacing;
    record::Entry frame(Kind::kFrame);
    auto line = lines.begin();
    for (uint64_t f = 0; f <= frameCount; ++f) {
        for (; line != lines.end() && line->frames == f; ++line) *text += record::LineOf(line->entry) + '\n';
        if (f == frameCount) break;
        if (!ReadFrame(reader, &pacing, &frame)) return false;
        *text += record::LineOf(frame) + '\n';
        if (text->size() > winapi::kMaxReadBytes) return false;
    }
    return reader->Left() == 0;
}

constexpr std::array<int8_t, 256> Base64Values() {
    std::array<int8_t, 256> values{};
    for (int8_t& v : values) v = -1;
    for (int i = 0; i < 64; ++i) values[static_cast<uint8_t>(kBase64Url[i])] = static_cast<int8_t>(i);
    return values;
}

std::string Base64Url(std::span<const uint8_t> bytes) {
    std::string text;
    uint32_t bits = 0;
    int count = 0;
    for (uint8_t byte : bytes) {
        bits = bits << 8 | byte;
        count += 8;
        while (count >= 6) text += kBase64Url[(bits >> (count -= 6)) & 63];
    }
    if (count > 0) text += kBase64Url[(bits << (6 - count)) & 63];
    return text;
}

// The bytes of base64url text, or what is wrong with it.
std::string BytesOfBase64Url(std::string_view text, std::vector<uint8_t>* bytes) {
    static constexpr std::array<int8_t, 256> kValues = Base64Values();
    if (text.size() % 4 == 1) return "truncated: its length cannot be a whole link (was it cut when copied?)";
    uint32_t bits = 0;
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int8_t value = kValues[static_cast<uint8_t>(text[i])];
        if (value < 0) {
            return "damaged: '" + std::string(1, text[i]) + "' at character " + std::to_string(i + 1) +
                   " of the run is not one a link is written in";
        }
        bits = (bits << 6 | static_cast<uint32_t>(value)) & 0xFFFFFF;
        count += 6;
        if (count >= 8) bytes->push_back(static_cast<uint8_t>(bits >> (count -= 8)));
    }
    return "";  // the bits of the last character past its last byte are padding
}

}  // namespace

bool FormOf(std::string_view recording, std::vector<uint8_t>* form, std::string* why) {
    const size_t headerEnd = recording.find('\n');
    const std::string version = record::VersionOf(recording.substr(0, headerEnd));
    if (headerEnd == std::string_view::npos || version.empty() || version.size() > kMostVersionBytes) {
        *why = "line 1: not the first line of a recording";
        return false;
    }
    Parts parts;
    int line = 1;
    for (size_t at = headerEnd + 1; at < recording.size(); ++line) {
        const size_t end = recording.find('\n', at);
        record::Entry entry;
        if (end == std::string_view::npos || !record::EntryOf(recording.substr(at, end - at), &entry)) {
            *why = "line " + std::to_string(line + 1) + ": not as the game writes a recording (a link holds only that)";
            return false;
        }
        Add(entry, &parts);
        at = end + 1;
    }
    form->clear();
    PutVarint(version.size(), form);
    form->insert(form->end(), version.begin(), version.end());
    PutVarint(parts.frameCount, form);
    PutVarint(parts.lineCount, form);
    form->insert(form->end(), parts.lines.begin(), parts.lines.end());
    form->insert(form->end(), parts.frames.begin(), parts.frames.end());
    const uint32_t crc = Crc32(*form);
    for (int i = 0; i < 4; ++i) form->push_back(static_cast<uint8_t>(crc >> (8 * i)));
    return true;
}

bool RecordingOf(std::span<const uint8_t> form, std::string* recording, std::string* why) {
    const size_t body = form.size() < 4 ? 0 : form.size() - 4;
    uint32_t crc = 0;
    for (size_t i = body; i < form.size(); ++i) crc |= static_cast<uint32_t>(form[i]) << (8 * (i - body));
    if (form.size() < 4 || crc != Crc32(form.first(body))) {
        *why = "damaged: the run it holds fails its check";
        return false;
    }
    Reader reader(form.first(body));
    uint64_t versionBytes = 0, frames = 0, lineCount = 0;
    std::string version;
    std::vector<Placed> lines;
    bool whole = reader.Varint(&versionBytes) && versionBytes <= kMostVersionBytes &&
                 reader.Bytes(versionBytes, &version) && record::VersionOf(record::HeaderLineOf(version)) == version &&
                 !version.empty() && reader.Varint(&frames) && frames <= reader.Left() && reader.Varint(&lineCount) &&
                 lineCount <= reader.Left() / 2 && ReadLines(&reader, lineCount, frames, &lines);
    std::string text = record::HeaderLineOf(version) + '\n';
    whole = whole && WriteRun(&reader, frames, lines, &text);
    if (!whole) {
        *why = text.size() > winapi::kMaxReadBytes ? WhyOf(InflateProblem::kTooLong)
                                                   : "damaged: the run it holds does not read whole";
        return false;
    }
    *recording = std::move(text);
    return true;
}

bool IsLink(std::string_view text) {
    return text.find(kMark) != std::string_view::npos || text.starts_with("https://") || text.starts_with("http://");
}

std::string LinkOf(std::span<const uint8_t> deflated) {
    std::vector<uint8_t> payload{kMagic, kFormat};
    payload.insert(payload.end(), deflated.begin(), deflated.end());
    return KAWAUO_SITE_URL + std::string(kMark) + Base64Url(payload);
}

bool DeflatedOf(std::string_view link, std::vector<uint8_t>* deflated, std::string* why) {
    const size_t mark = link.find(kMark);
    if (mark == std::string_view::npos) {
        *why = "no run in it: a run's link holds " + std::string(kMark);
        return false;
    }
    std::string_view run = link.substr(mark + kMark.size());
    while (!run.empty() && (run.back() == ' ' || run.back() == '\n' || run.back() == '\r' || run.back() == '\t'))
        run.remove_suffix(1);
    std::vector<uint8_t> bytes;
    *why = BytesOfBase64Url(run, &bytes);
    if (why->empty() && !bytes.empty() && bytes[0] != kMagic) *why = "not a link of a kawauo run";
    if (why->empty() && bytes.size() < 3) *why = "truncated: it holds no run (was it cut when copied?)";
    if (!why->empty()) return false;
    if (bytes[1] != kFormat) {
        *why = bytes[1] > kFormat ? "made by a newer kawauo (its link format is " + std::to_string(bytes[1]) +
                                        "; this kawauo " KAWAUO_VERSION " reads format " + std::to_string(kFormat) + ")"
                                  : "not a link of a kawauo run";
        return false;
    }
    deflated->assign(bytes.begin() + 2, bytes.end());
    return true;
}

std::string WhyOf(InflateProblem problem) {
    switch (problem) {
        case InflateProblem::kDamaged: return "damaged: its run cannot be read";
        case InflateProblem::kTruncated: return "truncated: it ends before its run does (was it cut when copied?)";
        case InflateProblem::kFollowed: return "damaged: more follows the end of its run";
        case InflateProblem::kTooLong: return "its run is longer than a recording may be";
        case InflateProblem::kOutOfMemory: return "out of memory";
    }
    return "damaged";
}

bool MakeLink(std::string_view recording, std::string* link, std::string* why) {
    std::vector<uint8_t> form, deflated;
    if (!FormOf(recording, &form, why) || !Deflate(form, &deflated, why)) return false;
    *link = LinkOf(deflated);
    return true;
}

bool MakeRunLink(std::string* link, std::string* why) {
    if (!record::Kept()) {
        *why = "no run of the player's is kept (a run shown, or one longer than a recording may be)";
        return false;
    }
    return MakeLink(record::Text(), link, why);
}

bool ReadLink(std::string_view link, std::string* recording, std::string* why) {
    std::vector<uint8_t> deflated, form;
    return DeflatedOf(link, &deflated, why) && Inflate(deflated, winapi::kMaxReadBytes, &form, why) &&
           RecordingOf(form, recording, why);
}

}  // namespace player::run_link
