// What the palette reader must make of a file's bytes, for its tests and its
// fuzzer: the 3-3-2 palette when the BMP reader refuses the headers, the
// palette as it was for a picture of more than 8 bits, else the colour table
// from where the header's kind puts it, over the 3-3-2 palette.
#pragma once
#include <cstdint>
#include <vector>

#include "display/device.h"
#include "winapi/bmp_decode.h"

namespace badinput {

inline uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<size_t>(i)];
    return v;
}

enum class PaletteSource { kDefault, kKept, kTable };

// Which headers are usable is the BMP reader's to say; where the table lies
// and how many colours it holds is worked out here on its own.
inline PaletteSource ExpectedPalette(const std::vector<uint8_t>& file, const PALETTEENTRY before[256],
                                     PALETTEENTRY out[256]) {
    FillDefaultPalette(out);
    BmpHeader usable;
    if (!ReadBmpHeader(file.data(), file.size(), &usable)) return PaletteSource::kDefault;
    const uint32_t headerSize = Le(file, 14, 4);
    const bool core = headerSize == 12;
    const uint32_t bits = core ? Le(file, 24, 2) : Le(file, 28, 2);
    if (bits > 8) {
        for (int i = 0; i < 256; ++i) out[i] = before[i];
        return PaletteSource::kKept;
    }
    const uint32_t used = core ? 0 : Le(file, 46, 4);
    const size_t count = used != 0 ? used : size_t{1} << bits;
    const size_t step = core ? 3 : 4;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = file.data() + 14 + headerSize + i * step;
        out[i] = PALETTEENTRY{e[2], e[1], e[0], 0};
    }
    return PaletteSource::kTable;
}

}  // namespace badinput
