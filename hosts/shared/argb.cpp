// The 640x480 picture of palette indices as the 32-bit pixels a display takes,
// at its own size or enlarged by a whole factor.
#include "hosts/shared/argb.h"

#include <cstddef>
#include <cstring>

namespace {

// One row of the picture, each pixel `scale` times; a scale known to the
// compiler lets it write whole vectors.
template <int kScale>
void WidenRow(const uint8_t* src, const uint32_t colours[256], uint32_t* dst, int scale) {
    const int n = kScale > 0 ? kScale : scale;
    for (int x = 0; x < kScreenWidth; ++x)
        for (int i = 0; i < n; ++i) *dst++ = colours[src[x]];
}

}  // namespace

namespace platform {

void ConvertScaled(const uint8_t* pixels, const uint32_t colours[256], int scale, void* target, int pitch) {
    const size_t rowBytes = size_t{kScreenWidth} * scale * 4;
    uint8_t* row = static_cast<uint8_t*>(target);
    for (int y = 0; y < kScreenHeight; ++y) {
        const uint8_t* src = pixels + static_cast<size_t>(y) * kScreenWidth;
        uint32_t* dst = reinterpret_cast<uint32_t*>(row);
        if (scale == 1) WidenRow<1>(src, colours, dst, scale);
        else if (scale == 2) WidenRow<2>(src, colours, dst, scale);
        else WidenRow<0>(src, colours, dst, scale);
        // The other rows of an enlarged row are copies of its first.
        for (int i = 1; i < scale; ++i) std::memcpy(row + static_cast<ptrdiff_t>(i) * pitch, row, rowBytes);
        row += static_cast<ptrdiff_t>(scale) * pitch;
    }
}

void ConvertToArgb(const uint8_t* pixels, const PALETTEENTRY palette[256], void* target, int pitch) {
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] =
            0xFF000000u | uint32_t{palette[i].peRed} << 16 | uint32_t{palette[i].peGreen} << 8 | palette[i].peBlue;
    ConvertScaled(pixels, colours, 1, target, pitch);
}

}  // namespace platform
