// Everything the game reads from outside (the calendar that seeds it, the
// clock, the input) passes through here: from the host, or, while a script
// plays, from the script instead; and one listener (the recorder,
// player/record.h) hears each read as it is made.
#pragma once
#include <cstdint>
#include <vector>

#include "winapi/host.h"

namespace winapi::inputs {

// What the listener hears; each may be null.
struct Listener {
    void (*calendar)(int64_t seconds);    // every read of the calendar
    void (*clock)(uint32_t ms);           // every read of the clock
    void (*event)(const host::Event& e);  // every event the game takes
    void (*frameEnd)();                   // the end of every frame
};
// From now on `listener` hears the reads (null: nobody).
void Listen(const Listener* listener);

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

// What the stand-in calls instead of the host: CalendarTime, GetTickCount,
// the message pump, and Flip at the end of every frame.
int64_t ReadCalendar();
uint32_t ReadClock();
bool PollEvent(host::Event* event);
void EndFrame();

// Not playing, nothing queued, nobody listening (the headless host's reset).
void Reset();

}  // namespace winapi::inputs
