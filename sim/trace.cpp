// The sim's trace lines, written by hand so that long runs stay fast.
#include "sim/trace.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <iterator>

#include "display/registry.h"
#include "game/drift.h"
#include "game/fish.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/play.h"
#include "game/river.h"
#include "game/thought.h"
#include "winapi/cp932.h"

namespace sim {
namespace {

// Length of the well-formed UTF-8 sequence at `s`, or 0 when it is not one.
size_t Utf8SequenceLength(const unsigned char* s, size_t available) {
    unsigned char c = s[0];
    size_t length;
    uint32_t min;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (available < length) return 0;
    uint32_t code = c & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (s[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

void TraceWriter::Int(int64_t value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    line_.append(buffer, result.ptr);
}

// A JSON string; bytes that are not well-formed UTF-8 become U+FFFD so that
// every line stays valid JSON whatever the game printed.
void TraceWriter::Str(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    line_ += '"';
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    size_t n = text.size();
    for (size_t i = 0; i < n;) {
        unsigned char c = s[i];
        if (c == '"' || c == '\\') {
            line_ += '\\';
            line_ += static_cast<char>(c);
            ++i;
        } else if (c < 0x20) {
            line_ += "\\u00";
            line_ += kHex[c >> 4];
            line_ += kHex[c & 15];
            ++i;
        } else {
            size_t length = Utf8SequenceLength(s + i, n - i);
            if (length == 0) {
                line_ += "\\ufffd";
                ++i;
            } else {
                line_.append(text, i, length);
                i += length;
            }
        }
    }
    line_ += '"';
}

template <typename T>
void TraceWriter::Ints(const T* values, size_t count) {
    line_ += '[';
    for (size_t i = 0; i < count; ++i) {
        if (i) line_ += ',';
        Int(static_cast<int64_t>(values[i]));
    }
    line_ += ']';
}

void TraceWriter::Key(const char* name) {
    line_ += firstKey_ ? '{' : ',';
    firstKey_ = false;
    line_ += '"';
    line_ += name;
    line_ += "\":";
}

// After the first failed write nothing more is written: what follows would
// not join what went before.
void TraceWriter::Line() {
    line_ += "}\n";
    if (error_ == 0 && std::fwrite(line_.data(), 1, line_.size(), out_) != line_.size()) Failed();
    line_.clear();
    firstKey_ = true;
}

namespace {

// The bitmap name a surface was loaded from, or null for a surface the
// registry does not hold (the primary or the back buffer).
std::string SurfaceName(const IDirectDrawSurface* surface, bool* known) {
    int count = g_surfaceCount < kMaxSurfaces ? g_surfaceCount : kMaxSurfaces;
    for (int i = 0; surface && i < count; ++i) {
        if (g_surfaces[i] != surface) continue;
        *known = true;
        const char* name = g_surfaceNames[i];
        return winapi::Cp932ToUtf8(name, strnlen(name, kSurfaceNameSize));
    }
    *known = false;
    return "";
}

}  // namespace

void TraceWriter::Frame(int frameNumber, const std::vector<winapi::DrawNote>* draws) {
    ++frames_;
    Key("frame");
    Int(frameNumber);
    Key("tick");
    Int(g_frameTick);
    Key("scene");
    Int(g_scene);
    const FishState& f = g_fish;
    const int32_t fish[] = {f.hp,         f.strength,  f.animFrame, f.distanceTick,
                            f.animTick,   f.moveTick,  f.x,         f.xStep,
                            f.hitOffsetX, f.hitWidth,  f.y,         f.yStep,
                            f.hitOffsetY, f.hitHeight, f.distance,  f.mutationCount};
    static_assert(sizeof fish == sizeof(FishState), "every field of FishState is traced");
    Key("fish");
    Ints(fish, std::size(fish));
    Key("pollution");
    Int(g_pollution);
    Key("paused");
    Int(g_paused);
    Key("pauseLatch");
    Int(g_pauseLatch);
    Key("keyLatch");
    Int(g_keyLatch);
    Key("pollutionTick");
    Int(g_pollutionTick);
    Key("drainTick");
    Int(g_drainTick);
    Key("mutation");
    Ints(g_mutation, std::size(g_mutation));
    Key("moves");
    line_ += '[';
    for (int i = 0; i < kMoveCount; ++i) {
        const SpecialMove& m = g_specialMoves[i];
        const int32_t move[] = {m.keyLatch, m.active, m.phase, m.phaseTick};
        static_assert(sizeof move == sizeof(SpecialMove), "every field of SpecialMove is traced");
        if (i) line_ += ',';
        Ints(move, std::size(move));
    }
    line_ += ']';
    Key("objectActive");
    Ints(g_objectActive, std::size(g_objectActive));
    Key("inFlight");
    Int(g_objectInFlight);
    Key("drift");
    line_ += '[';
    for (int i = 0; i < kDriftSlots; ++i) {
        const DriftObject& d = g_drift[i];
        const int32_t drift[] = {d.value, d.moveTick, d.moveInterval, d.x, d.step, d.y, d.size};
        static_assert(sizeof drift == sizeof(DriftObject), "every field of DriftObject is traced");
        if (i) line_ += ',';
        Ints(drift, std::size(drift));
    }
    line_ += ']';
    Key("thought");
    Int(g_thought);
    Key("thoughtTick");
    Int(g_thoughtTick);
    Key("scrollX");
    Int(g_scrollX);
    Key("bubbles");
    line_ += '[';
    for (int i = 0; i < kBubbleCount; ++i) {
        const BubbleSprite& b = g_bubbles[i];
        const int64_t bubble[] = {b.x,           b.y,         b.waitPending,
                                  b.animPending, b.direction, b.waitStart,
                                  b.lastSeen,    b.animStart, b.animNow};
        static_assert(sizeof bubble / sizeof bubble[0] * 4 == sizeof(BubbleSprite),
                      "every field of BubbleSprite is traced");
        if (i) line_ += ',';
        Ints(bubble, std::size(bubble));
    }
    line_ += ']';
    if (draws) {
        Key("draws");
        line_ += '[';
        bool first = true;
        for (const winapi::DrawNote& note : *draws) {
            if (!first) line_ += ',';
            first = false;
            if (note.kind == winapi::DrawNote::kFlip) {
                line_ += "[\"flip\"]";
            } else if (note.kind == winapi::DrawNote::kText) {
                const winapi::TextNote& t = note.text;
                const int64_t numbers[] = {t.x, t.y, t.colour};
                line_ += "[\"text\",";
                for (int64_t n : numbers) {
                    Int(n);
                    line_ += ',';
                }
                Str(t.text);
                line_ += ']';
            } else {
                const winapi::BltNote& b = note.blt;
                line_ += b.keyed ? "[\"keyed\"," : "[\"blt\",";
                bool known = false;
                std::string name = SurfaceName(b.src, &known);
                if (known) {
                    Str(name);
                } else {
                    line_ += "null";
                }
                const RECT& d = b.destRect;
                const RECT& s = b.srcRect;
                const int64_t numbers[] = {
                    d.left, d.top, int64_t{d.right} - d.left, int64_t{d.bottom} - d.top,
                    s.left, s.top, int64_t{s.right} - s.left, int64_t{s.bottom} - s.top};
                for (int64_t n : numbers) {
                    line_ += ',';
                    Int(n);
                }
                line_ += ']';
            }
        }
        line_ += ']';
    }
    Line();
}

void TraceWriter::MessageBox(const std::string& caption, const std::string& text) {
    Key("event");
    Str("messagebox");
    Key("caption");
    Str(caption);
    Key("text");
    Str(text);
    Line();
}

void TraceWriter::Debug(const std::string& text) {
    Key("event");
    Str("debug");
    Key("text");
    Str(text);
    Line();
}

void TraceWriter::Exit(int code) {
    Key("event");
    Str("exit");
    Key("code");
    Int(code);
    Line();
}

void TraceWriter::Failed() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

bool TraceWriter::Flush() {
    if (error_ == 0 && (std::fflush(out_) != 0 || std::ferror(out_))) Failed();
    return error_ == 0;
}

}  // namespace sim
