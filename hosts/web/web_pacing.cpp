// The browser's host's frame pacing: 60 frames a second on a grid of
// deadlines, shown on the browser's animation frames, whatever the display's
// refresh rate. A faster display skips animation frames until the next
// deadline is near; a slower one runs two game frames in one now and then.
// A background tab gets no animation frames, so the game stops with it.
#include <emscripten.h>

#include "hosts/web/web_internal.h"

namespace {

constexpr double kPeriod = 1000.0 / 60.0;  // milliseconds
// An animation frame within half a period of the deadline shows it: its
// timestamp jitters around the deadline on a 60 Hz display.
constexpr double kEarly = kPeriod / 2;
// Further behind than this (a background tab, a long stall), the grid starts
// again from now instead of hurrying through the time away.
constexpr double kBehind = 4 * kPeriod;

double g_deadline = 0;  // 0: the next frame starts the grid

bool Due(double now) {
    if (g_deadline == 0 || now > g_deadline + kBehind) g_deadline = now;
    return now >= g_deadline - kEarly;
}

}  // namespace

namespace web {

void StartPacing() { g_deadline = 0; }

// A frame already due (behind on a slow display) runs at once.
void WaitForFrame() {
    double now = emscripten_get_now();
    while (!Due(now)) now = kawauo_web_animation_frame();
    g_deadline += kPeriod;
}

}  // namespace web
