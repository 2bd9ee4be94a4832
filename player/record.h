// Recordings: everything the game reads from outside (the calendar that seeds
// it, the clock, the input; winapi/inputs.h) written down as it is read, as a
// kawauo-sim script a frame at a time. Any host's run can be recorded.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace player::record {

// The first line of every recording: the format and the game's version.
std::string HeaderLine();
// The same line as the game of `version` writes it.
std::string HeaderLineOf(std::string_view version);
// The version a first line names, when it is one of these lines; else empty.
std::string VersionOf(std::string_view header);

// What one line after the header says.
struct Entry {
    enum class Kind { kSeed, kLanguage, kActivate, kClose, kDown, kUp, kFrame };
    Entry() = default;
    explicit Entry(Kind k, int64_t n = 0, std::vector<uint32_t> r = {}) : kind(k), number(n), reads(std::move(r)) {}
    Kind kind = Kind::kClose;
    int64_t number = 0;           // the seed; the texts::Language; 1 active, 0 not; the virtual key
    std::vector<uint32_t> reads;  // a frame's readings of the clock, in turn (one at least)
};
// The line of `entry`, as the recorder writes it (without its end).
std::string LineOf(const Entry& entry);
// The entry of `line` (without its end) when it is exactly as LineOf writes
// it, so that the line can be made again byte for byte.
bool EntryOf(std::string_view line, Entry* entry);

// Starts writing the run to `path`, through `path` + ".part" until Finish
// renames it; an empty path keeps it in memory only. False (with why) when
// the file cannot be made, or anything stands at either name: a recording
// is never written over (OutputKind::kKept).
bool Start(const std::string& path, std::string* why);
// Everything recorded so far: what a web page offers for download, and a
// run's link is made of. A run kept in memory only is let go, and recorded
// no more, once longer than a recording may be (winapi::kMaxReadBytes).
const std::string& Text();
// Whether Text() holds a run: one is recorded, or was, and was not let go.
bool Kept();
// Writes the rest, closes and renames the file; a run that recorded no frame
// leaves no file at all. False (with why) when anything could not be
// written, or something took the name meanwhile; the ".part" file then stays.
// The first write that fails ends the writing (the game goes on): the part
// is cut back to its last whole frame, a clean beginning of the run.
bool Finish(std::string* why);

// Not recording, nothing kept (the headless host's reset).
void Reset();

}  // namespace player::record
