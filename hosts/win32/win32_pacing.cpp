// The Win32 host's 60 Hz pacing: an absolute schedule of deadlines, waited
// for on a high-resolution waitable timer, never by spinning.
#include <windows.h>
#include <mmsystem.h>

#include "hosts/win32/win32_internal.h"

namespace {

// Windows 10 1803 and later; older systems (and Wine) get an ordinary timer
// at the finest period the system offers.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif
constexpr LONGLONG kHundredNanosecondsPerSecond = 10000000;
constexpr int kFramesPerSecond = 60;

struct Pacing {
    HANDLE timer = nullptr;
    bool finePeriod = false;  // timeBeginPeriod(1) is in force
    LONGLONG frequency = 1;
    LONGLONG period = 1;
    LONGLONG deadline = 0;
};

Pacing g_pacing;

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

}  // namespace

namespace win32 {

void StartPacing() {
    if (g_pacing.timer != nullptr) return;
    g_pacing.timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (g_pacing.timer == nullptr) {
        g_pacing.timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        g_pacing.finePeriod = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_pacing.frequency = frequency.QuadPart;
    g_pacing.period = frequency.QuadPart / kFramesPerSecond;
    g_pacing.deadline = Now();
}

// Waits for the next deadline. More than a frame late, the schedule starts
// again from now instead of hurrying to catch up.
void WaitForFrame() {
    if (g_pacing.timer == nullptr) return;
    LONGLONG now = Now();
    if (now > g_pacing.deadline + g_pacing.period) g_pacing.deadline = now;
    if (g_pacing.deadline > now) {
        LARGE_INTEGER due;
        due.QuadPart = -((g_pacing.deadline - now) * kHundredNanosecondsPerSecond / g_pacing.frequency);
        if (SetWaitableTimer(g_pacing.timer, &due, 0, nullptr, nullptr, FALSE))
            WaitForSingleObject(g_pacing.timer, INFINITE);
    }
    g_pacing.deadline += g_pacing.period;
}

void StopPacing() {
    if (g_pacing.timer != nullptr) CloseHandle(g_pacing.timer);
    if (g_pacing.finePeriod) timeEndPeriod(1);
    g_pacing = Pacing{};
}

}  // namespace win32
