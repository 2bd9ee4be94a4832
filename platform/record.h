// Record and replay: everything the game reads from outside (the calendar
// that seeds it, the clock, the input) is either written down as it is read,
// as a kawauo-sim script, or taken from a script instead of the host. Every
// host has it, since the platform reads them all through here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host.h"

namespace record {

// The first line of every recording: the format and the game's version.
std::string HeaderLine();

// Starts writing the run to `path`, through `path` + ".part" until Finish
// renames it; an empty path keeps it in memory only. False (with why) when
// the file cannot be made.
bool Start(const std::string& path, std::string* why);
// Everything recorded so far: what a web page offers for download.
const std::string& Text();
// Writes the rest, closes and renames the file. False (with why) when
// anything could not be written; the ".part" file then stays.
bool Finish(std::string* why);

// From now on the calendar, the clock and the input are the script's: the
// host's own input is heard only for leaving (ESC and close).
void Play();
void SetCalendar(int64_t seconds);
// The clock reads `ms` until told otherwise.
void SetClock(uint32_t ms);
uint32_t Clock();
// The next reads of the clock give these values in turn; then it stays at the last.
void SetReads(std::vector<uint32_t> reads);
void Queue(const host::Event& event);

// What the platform calls instead of the host: CalendarTime, GetTickCount,
// the message pump, and Flip at the end of every frame.
int64_t ReadCalendar();
uint32_t ReadClock();
bool PollEvent(host::Event* event);
void EndFrame();

// Neither recording nor playing, nothing queued (the headless host's reset).
void Reset();

}  // namespace record
