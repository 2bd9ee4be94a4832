// The game's reads of the outside world: the host's, or a script's while one
// plays, each told to the listener.
#include "winapi/inputs.h"

#include <deque>

namespace {

struct Playback {
    bool on = false;
    int64_t calendar = 0;
    uint32_t clock = 0;
    std::deque<uint32_t> reads;
    std::deque<winapi::host::Event> events;
};

Playback g_playback;
const winapi::inputs::Listener* g_listener = nullptr;

// While a script plays, only these of the host's events reach the game.
bool Leaves(const winapi::host::Event& event) {
    return event.kind == winapi::host::EventKind::Close ||
           (event.kind == winapi::host::EventKind::KeyDown && event.virtualKey == VK_ESCAPE);
}

bool NextEvent(winapi::host::Event* event) {
    if (!g_playback.on) return winapi::host::PollEvent(event);
    winapi::host::Event own;
    while (winapi::host::PollEvent(&own)) {
        if (Leaves(own)) {
            *event = own;
            return true;
        }
    }
    if (g_playback.events.empty()) return false;
    *event = g_playback.events.front();
    g_playback.events.pop_front();
    return true;
}

}  // namespace

namespace winapi::inputs {

void Listen(const Listener* listener) { g_listener = listener; }

void Play() { g_playback.on = true; }
void SetCalendar(int64_t seconds) { g_playback.calendar = seconds; }
void SetClock(uint32_t ms) { g_playback.clock = ms; }
uint32_t Clock() { return g_playback.clock; }
void SetReads(std::vector<uint32_t> reads) { g_playback.reads.assign(reads.begin(), reads.end()); }
void Queue(const host::Event& event) { g_playback.events.push_back(event); }

int64_t ReadCalendar() {
    int64_t seconds = g_playback.on ? g_playback.calendar : host::CalendarSeconds();
    if (g_listener != nullptr && g_listener->calendar != nullptr) g_listener->calendar(seconds);
    return seconds;
}

uint32_t ReadClock() {
    uint32_t ms = host::Milliseconds();
    if (g_playback.on) {
        if (!g_playback.reads.empty()) {
            g_playback.clock = g_playback.reads.front();
            g_playback.reads.pop_front();
        }
        ms = g_playback.clock;
    }
    if (g_listener != nullptr && g_listener->clock != nullptr) g_listener->clock(ms);
    return ms;
}

bool PollEvent(host::Event* event) {
    if (!NextEvent(event)) return false;
    if (g_listener != nullptr && g_listener->event != nullptr) g_listener->event(*event);
    return true;
}

void EndFrame() {
    if (g_listener != nullptr && g_listener->frameEnd != nullptr) g_listener->frameEnd();
}

void Reset() {
    g_playback = Playback{};
    g_listener = nullptr;
}

}  // namespace winapi::inputs
