// The headless driver straight on the seam, without the core: what the
// suites of the Windows room, the game and the sim stand on. Every event
// the headless controls queue reaches the game as it was queued, and every
// call of winapi/host.h is the driver's own, so that those suites test their
// room and nothing of the player's rules (key binding, the merge, pause).
#include <cstdint>
#include <ctime>
#include <deque>

#include "hosts/core/driver.h"
#include "hosts/core/seam.h"
#include "winapi/host.h"
#include "winapi/win.h"

namespace {

std::deque<winapi::host::Event> g_events;

winapi::host::Event Translated(const core::RawEvent& e) {
    using winapi::host::EventKind;
    switch (e.kind) {
        case core::RawKind::kFocus: return {e.down ? EventKind::Activate : EventKind::Deactivate, 0};
        case core::RawKind::kClose: return {EventKind::Close, 0};
        default: return {e.down ? EventKind::KeyDown : EventKind::KeyUp, e.virtualKey};
    }
}

}  // namespace

void core::Hear(const RawEvent& event) { g_events.push_back(Translated(event)); }

void core::ForgetSeam() { g_events.clear(); }

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

bool OpenDisplay(const char*) { return core::TheDriver().open(core::WindowWish{}); }
void CloseDisplay() { core::TheDriver().close(); }
void SetCursorVisible(bool visible) { core::TheDriver().setCursor(visible); }

bool PollEvent(Event* event) {
    if (g_events.empty()) core::TheDriver().pump();
    if (g_events.empty()) return false;
    *event = g_events.front();
    g_events.pop_front();
    return true;
}

uint32_t Milliseconds() { return static_cast<uint32_t>(core::TheDriver().nanoseconds() / 1000000); }
int64_t CalendarSeconds() { return core::TheDriver().calendarSeconds(); }
void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) { core::TheDriver().present(pixels, palette); }
void ShowMessageBox(const char* caption, const char* text) { core::TheDriver().showBox(caption, text); }
FontTables Font() { return core::TheDriver().font(); }
void DebugLine(const char* text) { core::TheDriver().debugLine(text); }
void NoteFlip(HRESULT result) { core::TheDriver().frameEnd(result); }

}  // namespace winapi::host
