// The recorder: hears the game's reads of the outside world and writes them
// as a kawauo-sim script, a frame at a time.
#include "player/record.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

#include "player/key_names.h"
#include "player/options.h"
#include "player/output_file.h"
#include "player/version.h"
#include "winapi/files.h"
#include "winapi/inputs.h"
#include "winapi/texts.h"

namespace {

constexpr int kFramesBetweenSyncs = 60;  // a second of play at most is lost in a power cut

struct Recording {
    bool on = false;
    player::OutputFile out;  // its stream null: in memory only
    std::string text;
    size_t written = 0;  // of text, into the file
    // The first write that failed: its error, and the frames the file holds
    // whole; no more is written after it.
    int failure = 0;
    int framesKept = 0;  // frame lines in the file
    bool seedWritten = false;
    std::vector<uint32_t> reads;  // of the clock, in the frame being made
    uint32_t lastRead = 0;
    int framesSinceSync = 0;
    int frames = 0;
};

Recording g_recording;

void Line(const player::record::Entry& entry) {
    g_recording.text += player::record::LineOf(entry);
    g_recording.text += '\n';
}

// The first failed write ends the file where its last whole frame ended:
// it stays a clean beginning of the run, never a line spliced from two nor a
// run with frames missing from its middle.
void StopWriting(int error) {
    Recording& r = g_recording;
    r.failure = error != 0 ? error : EIO;
    player::CutBack(r.out.stream, r.written);
}

// What is new in the text, whole frames of it, goes to the file (unbuffered,
// so that what failed is never written later), so that a crash loses at
// most the frame being made.
void Flush() {
    Recording& r = g_recording;
    if (r.out.stream == nullptr || r.failure != 0 || r.written == r.text.size()) return;
    size_t length = r.text.size() - r.written;
    errno = 0;
    if (std::fwrite(r.text.data() + r.written, 1, length, r.out.stream) != length) return StopWriting(errno);
    r.written = r.text.size();
    r.framesKept = r.frames;
}

// Recording no more, nothing kept.
void LetGo() {
    g_recording.on = false;
    winapi::inputs::Listen(nullptr);
    std::string().swap(g_recording.text);
}

// The game reads the calendar once, for its seed.
void HearCalendar(int64_t seconds) {
    if (g_recording.seedWritten) return;
    g_recording.seedWritten = true;
    Line(player::record::Entry(player::record::Entry::Kind::kSeed, seconds));
}

void HearClock(uint32_t ms) {
    g_recording.reads.push_back(ms);
    g_recording.lastRead = ms;
}

void HearEvent(const winapi::host::Event& event) {
    using Kind = player::record::Entry::Kind;
    switch (event.kind) {
        case winapi::host::EventKind::KeyDown:
        case winapi::host::EventKind::KeyUp:
            // The host tells only of the keys the game reads; any other would change nothing.
            if (player::KeyNameOf(event.virtualKey) != nullptr) {
                Line(player::record::Entry(event.kind == winapi::host::EventKind::KeyDown ? Kind::kDown : Kind::kUp,
                                           event.virtualKey));
            }
            break;
        case winapi::host::EventKind::Activate: Line(player::record::Entry(Kind::kActivate, 1)); break;
        case winapi::host::EventKind::Deactivate: Line(player::record::Entry(Kind::kActivate, 0)); break;
        case winapi::host::EventKind::Close: Line(player::record::Entry(Kind::kClose)); break;
    }
}

// The frame's reads of the clock (the last value stays, so repeats at the
// end go), then what is new to the file.
void HearFrameEnd() {
    Recording& r = g_recording;
    if (r.reads.empty()) r.reads.push_back(r.lastRead);
    while (r.reads.size() > 1 && r.reads[r.reads.size() - 2] == r.reads.back()) r.reads.pop_back();
    Line(player::record::Entry(player::record::Entry::Kind::kFrame, 0, std::move(r.reads)));
    r.reads.clear();
    ++r.frames;
    // A run kept in memory only is kept as long as a recording may be read back, no longer.
    if (r.out.stream == nullptr && r.text.size() > static_cast<size_t>(winapi::kMaxReadBytes)) return LetGo();
    Flush();
    if (r.out.stream != nullptr && r.failure == 0 && ++r.framesSinceSync >= kFramesBetweenSyncs) {
        r.framesSinceSync = 0;
        if (!winapi::SyncToDisk(r.out.stream)) StopWriting(errno);
    }
}

const winapi::inputs::Listener kRecorder{HearCalendar, HearClock, HearEvent, HearFrameEnd};

}  // namespace

namespace player::record {

constexpr std::string_view kHeaderStart = "recording 1 kawauo ";

std::string HeaderLine() { return HeaderLineOf(KAWAUO_VERSION); }

std::string HeaderLineOf(std::string_view version) { return std::string(kHeaderStart) + std::string(version); }

std::string VersionOf(std::string_view header) {
    if (header.substr(0, kHeaderStart.size()) != kHeaderStart) return "";
    const std::string_view version = header.substr(kHeaderStart.size());
    for (char c : version) {
        if (c <= ' ' || c >= 0x7F) return "";
    }
    return std::string(version);
}

std::string LineOf(const Entry& entry) {
    switch (entry.kind) {
        case Entry::Kind::kSeed: return "seed " + std::to_string(entry.number);
        case Entry::Kind::kLanguage:
            return std::string("lang ") + options::NameOf(static_cast<winapi::texts::Language>(entry.number));
        case Entry::Kind::kActivate: return entry.number != 0 ? "activate 1" : "activate 0";
        case Entry::Kind::kClose: return "close";
        case Entry::Kind::kDown:
        case Entry::Kind::kUp: {
            const char* name = player::KeyNameOf(static_cast<int>(entry.number));
            return std::string(entry.kind == Entry::Kind::kDown ? "down " : "up ") + (name != nullptr ? name : "");
        }
        case Entry::Kind::kFrame: break;
    }
    std::string line = "frame";
    for (uint32_t read : entry.reads) line += " " + std::to_string(read);
    return line;
}

namespace {

// A decimal number filling `text`, within T's range.
template <typename T>
bool NumberOf(std::string_view text, T* value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The readings of a frame line after its word, one number each.
bool ReadsOf(std::string_view text, std::vector<uint32_t>* reads) {
    while (true) {
        const size_t space = text.find(' ');
        uint32_t read = 0;
        if (!NumberOf(text.substr(0, space), &read)) return false;
        reads->push_back(read);
        if (space == std::string_view::npos) return true;
        text.remove_prefix(space + 1);
    }
}

// What follows the word of a line, read into `entry` as its kind takes it.
bool ArgumentOf(std::string_view argument, Entry* entry) {
    switch (entry->kind) {
        case Entry::Kind::kSeed: return NumberOf(argument, &entry->number);
        case Entry::Kind::kLanguage: {
            const auto language = options::LanguageNamed(std::string(argument));
            entry->number = language ? static_cast<int64_t>(*language) : 0;
            return language.has_value();
        }
        case Entry::Kind::kActivate: entry->number = argument == "1"; return true;
        case Entry::Kind::kClose: return true;
        case Entry::Kind::kDown:
        case Entry::Kind::kUp: entry->number = player::VirtualKeyNamed(argument); return entry->number != 0;
        case Entry::Kind::kFrame: return ReadsOf(argument, &entry->reads);
    }
    return false;
}

}  // namespace

bool EntryOf(std::string_view line, Entry* entry) {
    static constexpr std::pair<std::string_view, Entry::Kind> kWords[] = {
        {"seed", Entry::Kind::kSeed},   {"lang", Entry::Kind::kLanguage}, {"activate", Entry::Kind::kActivate},
        {"close", Entry::Kind::kClose}, {"down", Entry::Kind::kDown},     {"up", Entry::Kind::kUp},
        {"frame", Entry::Kind::kFrame},
    };
    const size_t space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const std::string_view argument = space == std::string_view::npos ? "" : line.substr(space + 1);
    Entry read;
    const auto* found =
        std::find_if(std::begin(kWords), std::end(kWords), [&](const auto& w) { return w.first == word; });
    if (found == std::end(kWords)) return false;
    read.kind = found->second;
    // Made again from what was read, the line must be the same bytes: no
    // other spacing, no leading zeros, no second form of anything.
    if (!ArgumentOf(argument, &read) || LineOf(read) != line) return false;
    *entry = std::move(read);
    return true;
}

bool Start(const std::string& path, std::string* why) {
    Reset();
    Recording& r = g_recording;
    if (!path.empty() && !player::OpenOutput(path, player::OutputKind::kKept, &r.out, why)) return false;
    if (r.out.stream != nullptr) std::setvbuf(r.out.stream, nullptr, _IONBF, 0);
    r.on = true;
    winapi::inputs::Listen(&kRecorder);
    // To the file with the first frame: a run that shows none leaves nothing.
    g_recording.text = HeaderLine() + "\n";
    Line(Entry(Entry::Kind::kLanguage, static_cast<int64_t>(winapi::texts::CurrentLanguage())));
    return true;
}

const std::string& Text() { return g_recording.text; }

bool Kept() { return !g_recording.text.empty(); }

bool Finish(std::string* why) {
    Recording& r = g_recording;
    if (!r.on) return true;
    r.on = false;
    winapi::inputs::Listen(nullptr);
    if (r.out.stream == nullptr) return true;
    if (r.frames == 0) {
        player::DropOutput(&r.out);
        return true;
    }
    Flush();
    if (r.failure == 0) return PlaceOutput(&r.out, why);
    const std::string part = options::ShownPath(r.out.partPath);
    *why = "cannot write " + part + " (" + std::strerror(r.failure) + "): ";
    if (StillNamed(r.out.stream, r.out.partPath)) {
        *why += "it holds the run's first " + std::to_string(r.framesKept) + " frames, cut short there";
    } else {
        *why += "it was moved or removed meanwhile, and nothing is kept under that name";
    }
    std::fclose(r.out.stream);
    r.out.stream = nullptr;
    return false;
}

void Reset() {
    if (g_recording.on) winapi::inputs::Listen(nullptr);
    player::DropOutput(&g_recording.out);
    g_recording = Recording{};
}

}  // namespace player::record
