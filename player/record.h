// Recordings: everything the game reads from outside (the calendar that seeds
// it, the clock, the input; winapi/inputs.h) written down as it is read, as a
// kawauo-sim script a frame at a time. Any host's run can be recorded.
#pragma once
#include <string>

namespace player::record {

// The first line of every recording: the format and the game's version.
std::string HeaderLine();

// Starts writing the run to `path`, through `path` + ".part" until Finish
// renames it; an empty path keeps it in memory only. False (with why) when
// the file cannot be made, or anything stands at either name: a recording
// is never written over (OutputKind::kKept).
bool Start(const std::string& path, std::string* why);
// Everything recorded so far: what a web page offers for download.
const std::string& Text();
// Writes the rest, closes and renames the file; a run that recorded no frame
// leaves no file at all. False (with why) when anything could not be
// written, or something took the name meanwhile; the ".part" file then stays.
// The first write that fails ends the writing (the game goes on): the part
// is cut back to its last whole frame, a clean beginning of the run.
bool Finish(std::string* why);

// Not recording, nothing kept (the headless host's reset).
void Reset();

}  // namespace player::record
