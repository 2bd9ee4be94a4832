// The 640x480 picture of palette indices as the ARGB8888 pixels a display takes.
#include "platform/platform_internal.h"

namespace platform {

void ConvertToArgb(const uint8_t* pixels, const PALETTEENTRY palette[256], void* target, int pitch) {
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = 0xFF000000u | uint32_t{palette[i].peRed} << 16 | uint32_t{palette[i].peGreen} << 8 |
                     palette[i].peBlue;
    for (int y = 0; y < kScreenHeight; ++y) {
        const uint8_t* src = pixels + static_cast<size_t>(y) * kScreenWidth;
        uint32_t* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target) + static_cast<ptrdiff_t>(y) * pitch);
        for (int x = 0; x < kScreenWidth; ++x) dst[x] = colours[src[x]];
    }
}

}  // namespace platform
