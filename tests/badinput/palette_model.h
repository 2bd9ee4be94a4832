// What the palette reader must make of a file's bytes, for its tests and its
// fuzzer: the 3-3-2 start-up palette, overwritten by the bytes at offset 54
// as read, with the colours the info header announces turned round into
// red, green, blue.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "display/device.h"

namespace badinput {

inline uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<size_t>(i)];
    return v;
}

// Only a whole 40-byte info header of up to 8 bits announces colours; an
// entry is turned round only when the file supplied all four of its bytes.
inline void ExpectedPalette(const std::vector<uint8_t>& file, PALETTEENTRY out[256]) {
    FillDefaultPalette(out);
    constexpr size_t kTableAt = 54;
    if (file.size() < kTableAt) return;
    const size_t tableBytes = std::min<size_t>(file.size() - kTableAt, 256 * sizeof(PALETTEENTRY));
    std::memcpy(out, file.data() + kTableAt, tableBytes);
    const uint32_t headerSize = Le(file, 14, 4);
    const uint32_t bits = Le(file, 28, 2);
    const uint32_t used = Le(file, 46, 4);
    uint32_t announced = 0;
    if (headerSize == 40 && bits <= 8) announced = used != 0 ? used : 1u << bits;
    const size_t turned = std::min<size_t>(announced, tableBytes / sizeof(PALETTEENTRY));
    for (size_t i = 0; i < turned; ++i) std::swap(out[i].peRed, out[i].peBlue);
}

}  // namespace badinput
