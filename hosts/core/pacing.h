// Frame pacing at 60 Hz for a desktop driver: the display's vsync where its
// presents are seen to hold 60 Hz, else an absolute schedule of deadlines on
// the steady clock, slept to and never spun for.
#pragma once
#include <cstdint>

namespace core::pacing {

// What a driver lends the pacer. Any may be null.
struct Means {
    // Asks for presents that wait for the display's blank, or no longer; true
    // only when they will really wait. Null: no vsync.
    bool (*setVsync)(bool on) = nullptr;
    // Sleeps about `ns` nanoseconds. Null: the standard library's sleep,
    // whose resolution is fine on POSIX systems.
    void (*sleep)(uint64_t ns) = nullptr;
};

// Starts pacing anew, at the window's opening and whenever its display or
// mode changes: vsync is tried only on a display of about 60 Hz (`refreshHz`,
// 0 when unknown), and kept only once its presents are seen to wait.
void Start(const Means& means, int refreshHz);
// Between drawing a frame and showing it: waits for the frame's deadline
// unless vsync paces.
void BeforeShow();
// Right after showing a frame: watches whether vsync still waits.
void AfterShow();
// "vsync" or "timer", for the frame statistics.
const char* Describe();

}  // namespace core::pacing
