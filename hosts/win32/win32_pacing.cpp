// The Win32 host's sleep between frames, lent to the core's pacing: a
// high-resolution waitable timer, where the standard library's sleep would
// round to the system's tick.
#include <windows.h>
#include <mmsystem.h>

#include "hosts/core/pacing.h"
#include "hosts/win32/win32_internal.h"

namespace {

// Windows 10 1803 and later; older systems (and Wine) get an ordinary timer
// at the finest period the system offers.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif

struct Timer {
    HANDLE handle = nullptr;
    bool finePeriod = false;  // timeBeginPeriod(1) is in force
};

Timer g_timer;

void SleepOnTimer(uint64_t ns) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(ns / 100);  // relative, in 100 ns
    if (SetWaitableTimer(g_timer.handle, &due, 0, nullptr, nullptr, FALSE))
        WaitForSingleObject(g_timer.handle, INFINITE);
}

}  // namespace

namespace win32 {

void StartPacing() {
    if (g_timer.handle == nullptr) {
        g_timer.handle =
            CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        if (g_timer.handle == nullptr) {
            g_timer.handle = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
            g_timer.finePeriod = timeBeginPeriod(1) == TIMERR_NOERROR;
        }
    }
    core::pacing::Start(core::pacing::Means{.sleep = g_timer.handle != nullptr ? SleepOnTimer : nullptr}, 0);
}

void StopPacing() {
    if (g_timer.handle != nullptr) CloseHandle(g_timer.handle);
    if (g_timer.finePeriod) timeEndPeriod(1);
    g_timer = Timer{};
}

}  // namespace win32
