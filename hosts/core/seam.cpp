// The seam beneath the Windows room (winapi/host.h), implemented once over
// the driver linked in (core/driver.h): the game's event queue, its clock
// that stands still while paused out of focus, the keys and pads turned into
// the game's keys, Alt+Enter, F12 and Ctrl+C (which the game never sees), the
// settings the player changes, the picture kept for screenshots, and frame
// statistics.
#include <chrono>
#include <ctime>
#include <deque>

#include "hosts/core/driver.h"
#include "hosts/core/frame_stats.h"
#include "hosts/core/keys.h"
#include "hosts/core/link_copy.h"
#include "hosts/core/notes.h"
#include "hosts/core/pause_clock.h"
#include "hosts/core/remembered.h"
#include "hosts/core/seam.h"
#include "hosts/core/shown.h"
#include "winapi/host.h"
#include "winapi/process.h"

namespace core {
namespace {

// How long a wait for events may run before it looks for a stop signal.
constexpr uint32_t kStopLookMs = 50;

struct Seam {
    bool open = false;
    bool fullscreen = true;
    bool stopSent = false;
    std::deque<winapi::host::Event> events;
    PauseClock clock;  // stands still while paused out of focus
};

Seam g_seam;

const auto g_start = std::chrono::steady_clock::now();

uint64_t Nanoseconds() {
    if (TheDriver().nanoseconds != nullptr) return TheDriver().nanoseconds();
    const auto elapsed = std::chrono::steady_clock::now() - g_start;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
}

// The running clock in milliseconds, wrapping at 2^32 as GetTickCount does.
uint32_t RunningMilliseconds() { return static_cast<uint32_t>(Nanoseconds() / 1000000); }

void Push(winapi::host::EventKind kind, int virtualKey = 0) {
    g_seam.events.push_back(winapi::host::Event{kind, virtualKey});
}

void ToggleFullscreen() {
    if (!g_seam.open || TheDriver().setFullscreen == nullptr) return;
    g_seam.fullscreen = !g_seam.fullscreen;
    TheDriver().setFullscreen(g_seam.fullscreen);
    RememberFullscreen(g_seam.fullscreen);
}

// Alt+Enter, F12 and Ctrl+C on the result screen are the core's: no binding sees them.
void HearKey(const RawEvent& e) {
    if (CopiesRunLink(e)) return;
    const std::string name = e.key;
    if (name == "F12") {
        if (e.down && !e.repeat && TheDriver().screenshot != nullptr) TheDriver().screenshot();
        return;
    }
    if (name == "Return" && e.alt) {
        if (e.down && !e.repeat) ToggleFullscreen();
        return;
    }
    if (!e.repeat) KeyChanged(name, e.down);
}

void HearFocus(bool focused) {
    if (focused) {
        g_seam.clock.Resume(RunningMilliseconds());
        Push(winapi::host::EventKind::Activate);
        return;
    }
    ReleaseAllKeys();
    Push(winapi::host::EventKind::Deactivate);
    if (PausesUnfocused()) g_seam.clock.Pause(RunningMilliseconds());
}

}  // namespace

void TellGame(int virtualKey, bool down) {
    Push(down ? winapi::host::EventKind::KeyDown : winapi::host::EventKind::KeyUp, virtualKey);
}

void Hear(const RawEvent& e) {
    switch (e.kind) {
        case RawKind::kKey: HearKey(e); return;
        case RawKind::kGameKey: GameKeyChanged(e.virtualKey, e.down); return;
        case RawKind::kPad: PadChanged(e.pad, e.roles, e.stickX, e.stickY); return;
        case RawKind::kPadGone: PadGone(e.pad); return;
        case RawKind::kFocus: HearFocus(e.down); return;
        case RawKind::kResized: RememberWindowSize(e.width, e.height, RunningMilliseconds()); return;
        case RawKind::kClose: Push(winapi::host::EventKind::Close); return;
    }
}

void ForgetSeam() {
    g_seam = Seam{};
    ForgetKeys();
}

}  // namespace core

namespace winapi::host {

int DesktopWidth() {
    int width = kScreenWidth, height = kScreenHeight;
    core::TheDriver().desktopSize(&width, &height);
    return width;
}

int DesktopHeight() {
    int width = kScreenWidth, height = kScreenHeight;
    core::TheDriver().desktopSize(&width, &height);
    return height;
}

// Asked of the driver each time: a driver already open says so.
bool OpenDisplay(const char*) {
    const core::WindowWish wish = core::WindowWanted();
    const bool opening = !core::g_seam.open;
    core::g_seam.open = core::TheDriver().open(wish);
    if (!opening || !core::g_seam.open) return core::g_seam.open;
    core::g_seam.fullscreen = wish.fullscreen;
    if (core::TheDriver().pacing != nullptr) core::frame_stats::Start(core::TheDriver().pacing);
    return true;
}

void CloseDisplay() {
    core::SaveResting(core::RunningMilliseconds(), true);
    if (core::g_seam.open) core::TheDriver().close();
    core::g_seam.open = false;
}

void SetCursorVisible(bool visible) {
    if (core::TheDriver().setCursor != nullptr) core::TheDriver().setCursor(visible);
}

// Paused out of focus, the wait for the next event holds the game's loop:
// no frame runs until the focus (or a close request) comes. A stop signal
// closes the window, as the player would.
bool PollEvent(Event* event) {
    const core::Driver& driver = core::TheDriver();
    core::SaveResting(core::RunningMilliseconds(), false);
    if (core::g_seam.events.empty()) driver.pump();
    while (core::g_seam.events.empty() && core::g_seam.clock.Paused() && driver.wait != nullptr &&
           process::StopSignal() == 0)
        driver.wait(core::kStopLookMs);
    if (process::StopSignal() != 0 && !core::g_seam.stopSent) {
        core::g_seam.stopSent = true;
        core::Push(EventKind::Close);
    }
    if (core::g_seam.events.empty()) {
        core::EndKeyTaking();
        return false;
    }
    *event = core::g_seam.events.front();
    core::g_seam.events.pop_front();
    return true;
}

uint32_t Milliseconds() { return core::g_seam.clock.Read(core::RunningMilliseconds()); }

int64_t CalendarSeconds() {
    const core::Driver& driver = core::TheDriver();
    return driver.calendarSeconds != nullptr ? driver.calendarSeconds() : static_cast<int64_t>(std::time(nullptr));
}

void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    if (!core::g_seam.open) return;
    core::TheDriver().present(pixels, palette);
    if (core::TheDriver().showNote != nullptr)
        core::notes::Tick(core::RunningMilliseconds(), core::TheDriver().showNote);
    core::NoteShown(pixels, palette);
    core::frame_stats::NoteShown(core::Nanoseconds());
}

void ShowMessageBox(const char* caption, const char* text) { core::TheDriver().showBox(caption, text); }

FontTables Font() { return core::TheDriver().font(); }

void DebugLine(const char* text) {
    if (core::TheDriver().debugLine != nullptr) core::TheDriver().debugLine(text);
}

void NoteFlip(HRESULT result) {
    if (core::TheDriver().frameEnd != nullptr) core::TheDriver().frameEnd(result);
}

}  // namespace winapi::host
