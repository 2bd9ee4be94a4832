// Reading Windows BMP files into memory: 1, 4, 8, 16, 24 and 32 bits, RLE4
// and RLE8, bottom-up and top-down, core and info headers. Anything
// malformed is refused; nothing is read or written out of bounds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "winapi/ddraw.h"

struct DecodedBitmap {
    int32_t width = 0;
    int32_t height = 0;  // rows are stored top-down whatever the file's order
    // Indexed pictures (up to 8 bits): 256 colours (the file's table padded
    // with black) and one index a pixel. Otherwise: empty, and rgb holds
    // 0x00RRGGBB a pixel.
    std::vector<PALETTEENTRY> colours;
    std::vector<uint8_t> indices;
    std::vector<uint32_t> rgb;
};

// Largest picture accepted, in pixels on a side and in all.
constexpr int32_t kMaxBitmapSide = 16384;
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;

// What a file's headers say, checked as DecodeBmp checks them, without its
// pixels: the size, the bits a pixel, and the file's own colour table, read
// from where its headers put it (empty above 8 bits).
struct BmpHeader {
    int32_t width = 0;
    int32_t height = 0;
    int bits = 0;
    std::vector<PALETTEENTRY> table;
};

bool ReadBmpHeader(const uint8_t* data, size_t size, BmpHeader* out);
bool DecodeBmp(const uint8_t* data, size_t size, DecodedBitmap* out);
