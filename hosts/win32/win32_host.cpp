// The Windows players' host behind winapi/host.h: the game's event queue,
// the clocks, and the calls handed on to the files that speak Win32.
#include <chrono>
#include <ctime>
#include <deque>

#include "hosts/core/pause_clock.h"
#include "hosts/win32/win32_internal.h"
#include "player/screenshot.h"
#include "winapi/host.h"

namespace {

static_assert(sizeof(PALETTEENTRY) == 4, "palette entries are passed on as red, green, blue, flags bytes");

std::deque<winapi::host::Event> g_winEvents;

const auto g_winStart = std::chrono::steady_clock::now();

core::PauseClock g_winClock;  // stands still while paused out of focus

uint32_t RunningMilliseconds() {
    auto elapsed = std::chrono::steady_clock::now() - g_winStart;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace

namespace win32 {

void QueueKey(int virtualKey, bool down) {
    g_winEvents.push_back(
        winapi::host::Event{down ? winapi::host::EventKind::KeyDown : winapi::host::EventKind::KeyUp, virtualKey});
}

void QueueActivate(bool active) {
    if (active) g_winClock.Resume(RunningMilliseconds());
    else if (PausesUnfocused()) g_winClock.Pause(RunningMilliseconds());
    g_winEvents.push_back(
        winapi::host::Event{active ? winapi::host::EventKind::Activate : winapi::host::EventKind::Deactivate, 0});
}

void QueueClose() { g_winEvents.push_back(winapi::host::Event{winapi::host::EventKind::Close, 0}); }

}  // namespace win32

namespace winapi::host {

int DesktopWidth() { return win32::MonitorWidth(); }
int DesktopHeight() { return win32::MonitorHeight(); }

bool OpenDisplay(const char*) {
    if (!win32::OpenGameWindow()) return false;
    win32::StartPacing();
    return true;
}

void CloseDisplay() {
    win32::StopPacing();
    win32::CloseGameWindow();
}

void SetCursorVisible(bool visible) { win32::SetCursorShown(visible); }

// Paused out of focus, the wait for the next message holds the game's loop:
// no frame runs until the focus (or a close request) comes.
bool PollEvent(Event* event) {
    if (g_winEvents.empty()) win32::PumpMessages();
    while (g_winEvents.empty() && g_winClock.Paused()) win32::WaitForMessages();
    if (g_winEvents.empty()) return false;
    *event = g_winEvents.front();
    g_winEvents.pop_front();
    return true;
}

uint32_t Milliseconds() { return g_winClock.Read(RunningMilliseconds()); }

int64_t CalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

// Pads are read here, once a frame, so that their changes arrive with the
// next poll like the keyboard's.
void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    win32::WaitForFrame();
    win32::ShowPicture(pixels, reinterpret_cast<const uint8_t*>(palette));
    player::screenshot::KeepLast(pixels, palette);
    win32::FrameShown();
    win32::PollPads();
}

void ShowMessageBox(const char* caption, const char* text) { win32::ShowBox(caption, text); }

void DebugLine(const char* text) { win32::DebugLine(text); }

void NoteFlip(HRESULT) {}

}  // namespace winapi::host

void win32::TakeScreenshot() { player::screenshot::TakeLast(); }
