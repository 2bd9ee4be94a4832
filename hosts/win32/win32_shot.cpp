// The Win32 host's screenshot key (F12): the last picture shown, saved as
// every host saves the player's screenshots (hosts/shared/screenshot.h).
#include <cstring>
#include <vector>

#include "hosts/shared/screenshot.h"
#include "hosts/win32/win32_internal.h"

namespace {

struct LastFrame {
    std::vector<uint8_t> pixels;
    PALETTEENTRY palette[256] = {};
};

LastFrame g_lastFrame;

}  // namespace

namespace win32host {

void KeepFrame(const uint8_t* pixels, const uint8_t* rgbx) {
    g_lastFrame.pixels.assign(pixels, pixels + kScreenWidth * kScreenHeight);
    std::memcpy(g_lastFrame.palette, rgbx, sizeof g_lastFrame.palette);
}

void TakeScreenshot() {
    if (g_lastFrame.pixels.empty()) return;
    screenshot::Take({g_lastFrame.pixels.data(), kScreenWidth, kScreenHeight, g_lastFrame.palette});
}

}  // namespace win32host
