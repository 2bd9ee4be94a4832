// The SDL host's frame pacing at 60 Hz: the display's vsync where it is seen
// to hold 60 Hz, an absolute deadline everywhere else.
#include <time.h>

#include <cerrno>
#include <string>

#include "hosts/sdl/sdl_internal.h"
#include "hosts/sdl/sdl_present.h"

namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;
constexpr int kVsyncWarmUp = 10;  // presents before timing vsync
constexpr int kVsyncTrial = 30;   // presents timed to see whether vsync holds 60 Hz
constexpr int kVsyncLost = 10;    // quick presents in a row that show vsync has stopped waiting

constexpr uint64_t kNanoseconds = 1000000000;

enum class Pacing { kTimer, kVsyncTrial, kVsync };

struct Pacer {
    Pacing pacing = Pacing::kTimer;
    uint64_t period = kNanoseconds / 60;
    uint64_t deadline = 0;
    int trialPresents = 0;
    uint64_t trialStart = 0;
    int quickPresents = 0;  // under vsync, presents that did not wait
    uint64_t lastPresent = 0;
};

Pacer g_pacer;

// The clock the deadline sleep measures, in nanoseconds.
uint64_t Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint64_t>(t.tv_sec) * kNanoseconds + static_cast<uint64_t>(t.tv_nsec);
}

// A hidden or minimised window may stop waiting for vsync: then the timer takes over.
void WatchVsync(uint64_t now, uint64_t interval) {
    bool quick = interval < g_pacer.period / 2;
    g_pacer.quickPresents = quick ? g_pacer.quickPresents + 1 : 0;
    if (g_pacer.quickPresents < kVsyncLost) return;
    sdl::present::SetVsync(false);
    g_pacer.pacing = Pacing::kTimer;
    g_pacer.deadline = now;
}

void JudgeVsyncTrial(uint64_t now) {
    ++g_pacer.trialPresents;
    if (g_pacer.trialPresents == kVsyncWarmUp) g_pacer.trialStart = now;
    if (g_pacer.trialPresents < kVsyncWarmUp + kVsyncTrial) return;
    double mean = static_cast<double>(now - g_pacer.trialStart) / static_cast<double>(kNanoseconds) / kVsyncTrial;
    bool holds = mean > kFrameSeconds * 0.93 && mean < kFrameSeconds * 1.07;
    if (holds) {
        g_pacer.pacing = Pacing::kVsync;
        g_pacer.quickPresents = 0;
        return;
    }
    sdl::present::SetVsync(false);
    g_pacer.pacing = Pacing::kTimer;
    g_pacer.deadline = now;
}

// Sleeps until the deadline itself, by the clock's absolute time, so that the
// processor rests the whole wait and no rounding builds up from frame to
// frame. More than a frame late, the schedule starts again from now instead
// of hurrying.
void WaitForDeadline() {
    uint64_t now = Now();
    if (now > g_pacer.deadline + g_pacer.period) g_pacer.deadline = now;
    timespec until{static_cast<time_t>(g_pacer.deadline / kNanoseconds),
                   static_cast<long>(g_pacer.deadline % kNanoseconds)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
    g_pacer.deadline += g_pacer.period;
}

}  // namespace

namespace sdl {

// Vsync is used only on a display that runs at 60 Hz, and only once the
// presents are seen to wait for it; everywhere else an absolute deadline.
void StartPacing(SDL_Window* window) {
    g_pacer.deadline = Now();
    g_pacer.pacing = Pacing::kTimer;
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(window);
    bool sixty = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate >= 59 &&
                 mode.refresh_rate <= 61;
    if (sixty && present::SetVsync(true)) {
        g_pacer.pacing = Pacing::kVsyncTrial;
        g_pacer.trialPresents = 0;
    } else {
        present::SetVsync(false);
    }
}

void PaceFrame() {
    if (g_pacer.pacing == Pacing::kTimer) WaitForDeadline();
}

void NoteShown() {
    uint64_t now = Now();
    uint64_t interval = g_pacer.lastPresent != 0 ? now - g_pacer.lastPresent : 0;
    g_pacer.lastPresent = now;
    if (g_pacer.pacing == Pacing::kVsyncTrial) JudgeVsyncTrial(now);
    else if (g_pacer.pacing == Pacing::kVsync) WatchVsync(now, interval);
}

const char* DescribePacing() {
    static std::string text;
    text = std::string(g_pacer.pacing == Pacing::kVsync ? "vsync" : "timer") + ", " + present::Describe();
    return text.c_str();
}

}  // namespace sdl
