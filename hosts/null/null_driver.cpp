// The driver a new port starts from: every call of winapi/host.h, each doing
// the least that keeps the contract, with where the port's own work goes.
// The build compiles this folder (it is linked into nothing) so that it keeps
// up with host.h; HACKING.md says how to make a driver of a copy of it.
#include <chrono>
#include <ctime>

#include "winapi/host.h"

namespace {

const auto g_start = std::chrono::steady_clock::now();

}  // namespace

namespace winapi::host {

// The system's desktop size; a host without one answers the game's screen.
int DesktopWidth() { return kScreenWidth; }
int DesktopHeight() { return kScreenHeight; }

// A port makes its window and a 640x480 canvas here, and returns false when
// the system has no display to give (the game then reports it and ends).
bool OpenDisplay(const char*) { return true; }

// A port releases what OpenDisplay made; message boxes may still follow.
void CloseDisplay() {}

// A port shows or hides the system's pointer over its window.
void SetCursorVisible(bool) {}

// A port drains its system's queue here, translating each key to a VK_ code
// of win.h and focus and closing to Activate, Deactivate and Close; it never
// waits for an event.
bool PollEvent(Event*) { return false; }

uint32_t Milliseconds() {
    const auto elapsed = std::chrono::steady_clock::now() - g_start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

int64_t CalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

// A port converts the indices through the palette into its canvas (see
// core::ConvertToArgb in hosts/core/argb.h), shows it, and waits for the
// blank or its own 60 Hz deadline; nothing allocated per frame.
void Present(const uint8_t*, const PALETTEENTRY[256]) {}

// A port shows a modal box with one OK button and returns when it is dismissed.
void ShowMessageBox(const char*, const char*) {}

void DebugLine(const char*) {}

void NoteFlip(HRESULT) {}

}  // namespace winapi::host
