// The Win32 driver's table for the core: the window, its messages and the
// pads (win32_window.cpp, win32_input.cpp), the core's pacing slept on a
// waitable timer (win32_pacing.cpp).
#include "hosts/core/driver.h"
#include "hosts/core/pacing.h"
#include "hosts/core/shown.h"
#include "hosts/win32/win32_internal.h"
#include "winapi/baked.h"

namespace {

static_assert(sizeof(PALETTEENTRY) == 4, "palette entries are passed on as red, green, blue, flags bytes");

bool Open(const core::WindowWish& wish) {
    if (!win32::OpenGameWindow(wish.fullscreen, wish.scale, wish.width, wish.height)) return false;
    win32::StartPacing();
    return true;
}

void Close() {
    win32::StopPacing();
    win32::CloseGameWindow();
}

// Pads are read here, once a frame, so that their changes arrive with the
// next poll like the keyboard's.
void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    core::pacing::BeforeShow();
    win32::ShowPicture(pixels, reinterpret_cast<const uint8_t*>(palette));
    win32::PollPads();
}

const char* Pacing() { return "waitable timer"; }

constexpr core::Driver kDriver{
    .desktopSize = win32::MonitorSize,
    .open = Open,
    .close = Close,
    .present = Present,
    .pump = win32::PumpMessages,
    .showBox = win32::ShowBox,
    .font = winapi::baked::BuiltIn,
    .setCursor = win32::SetCursorShown,
    .setFullscreen = win32::SetFullscreen,
    .wait = win32::WaitForMessages,
    .keyKnown = win32::KeyNameKnown,
    .debugLine = win32::DebugLine,
    .pacing = Pacing,
    .showNote = win32::ShowNote,
    .errorsUnseen = win32::ErrorsUnseen,
    .copyText = win32::CopyText,
    .screenshot = core::TakeScreenshot,
    .threads = true,
};

}  // namespace

const core::Driver& core::TheDriver() { return kDriver; }
