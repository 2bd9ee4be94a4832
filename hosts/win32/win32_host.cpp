// The Windows players' host behind winapi/host.h: the game's event queue,
// the clocks, and the calls handed on to the files that speak Win32.
#include <chrono>
#include <ctime>
#include <deque>

#include "hosts/shared/pause_clock.h"
#include "hosts/shared/screenshot.h"
#include "hosts/win32/win32_internal.h"
#include "winapi/host.h"

namespace {

static_assert(sizeof(PALETTEENTRY) == 4, "palette entries are passed on as red, green, blue, flags bytes");

std::deque<host::Event> g_winEvents;

const auto g_winStart = std::chrono::steady_clock::now();

platform::PauseClock g_winClock;  // stands still while paused out of focus

uint32_t RunningMilliseconds() {
    auto elapsed = std::chrono::steady_clock::now() - g_winStart;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

}  // namespace

namespace win32host {

void QueueKey(int virtualKey, bool down) {
    g_winEvents.push_back(host::Event{down ? host::EventKind::KeyDown : host::EventKind::KeyUp, virtualKey});
}

void QueueActivate(bool active) {
    if (active) g_winClock.Resume(RunningMilliseconds());
    else if (PausesUnfocused()) g_winClock.Pause(RunningMilliseconds());
    g_winEvents.push_back(host::Event{active ? host::EventKind::Activate : host::EventKind::Deactivate, 0});
}

void QueueClose() { g_winEvents.push_back(host::Event{host::EventKind::Close, 0}); }

}  // namespace win32host

namespace host {

int DesktopWidth() { return win32host::MonitorWidth(); }
int DesktopHeight() { return win32host::MonitorHeight(); }

bool OpenDisplay(const char*) {
    if (!win32host::OpenGameWindow()) return false;
    win32host::StartPacing();
    return true;
}

void CloseDisplay() {
    win32host::StopPacing();
    win32host::CloseGameWindow();
}

void SetCursorVisible(bool visible) { win32host::SetCursorShown(visible); }

// Paused out of focus, the wait for the next message holds the game's loop:
// no frame runs until the focus (or a close request) comes.
bool PollEvent(Event* event) {
    if (g_winEvents.empty()) win32host::PumpMessages();
    while (g_winEvents.empty() && g_winClock.Paused()) win32host::WaitForMessages();
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
    win32host::WaitForFrame();
    win32host::ShowPicture(pixels, reinterpret_cast<const uint8_t*>(palette));
    screenshot::KeepLast(pixels, palette);
    win32host::FrameShown();
    win32host::PollPads();
}

void ShowMessageBox(const char* caption, const char* text) { win32host::ShowBox(caption, text); }

void DebugLine(const char* text) { win32host::DebugLine(text); }

void NoteFlip(HRESULT) {}

}  // namespace host

void win32host::TakeScreenshot() { screenshot::TakeLast(); }
