// Fuzz target: any bytes through the BMP reader; what it accepts must hold together.
#include <cstdlib>

#include "tests/fuzz/fuzz_entry.h"
#include "winapi/bmp_decode.h"

namespace {

bool Consistent(const DecodedBitmap& b) {
    if (b.width < 1 || b.height < 1 || b.width > kMaxBitmapSide || b.height > kMaxBitmapSide) return false;
    const size_t pixels = static_cast<size_t>(b.width) * static_cast<size_t>(b.height);
    if (pixels > static_cast<size_t>(kMaxBitmapPixels)) return false;
    if (!b.colours.empty()) return b.colours.size() == 256 && b.indices.size() == pixels && b.rgb.empty();
    if (!b.indices.empty() || b.rgb.size() != pixels) return false;
    for (uint32_t c : b.rgb)
        if (c > 0xFFFFFF) return false;
    return true;
}

}  // namespace

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedBitmap out;
    const bool ok = DecodeBmp(data, size, &out);
    const bool empty =
        out.width == 0 && out.height == 0 && out.colours.empty() && out.indices.empty() && out.rgb.empty();
    if (ok ? !Consistent(out) : !empty) std::abort();
    return 0;
}
