// The conversion for presentation: every index through its own palette
// entry, opaque, into rows that lie `pitch` bytes apart.
#include <gtest/gtest.h>

#include <vector>

#include "hosts/shared/argb.h"

namespace {

TEST(ConvertToArgb, EveryIndexTakesItsEntryAndThePaddingStays) {
    PALETTEENTRY palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(i * 7), static_cast<BYTE>(255 - i), 0x55};
    std::vector<uint8_t> pixels(size_t{kScreenWidth} * kScreenHeight);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 31 + i / kScreenWidth);
    constexpr int kPadding = 3;  // words after each row that are not the picture's
    constexpr uint32_t kUntouched = 0x12345678;
    const int pitch = (kScreenWidth + kPadding) * 4;
    std::vector<uint32_t> target(size_t{kScreenWidth + kPadding} * kScreenHeight, kUntouched);
    platform::ConvertToArgb(pixels.data(), palette, target.data(), pitch);
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth + kPadding; ++x) {
            const uint32_t actual = target[static_cast<size_t>(y) * (kScreenWidth + kPadding) + x];
            uint32_t expected = kUntouched;
            if (x < kScreenWidth) {
                const PALETTEENTRY& p = palette[pixels[static_cast<size_t>(y) * kScreenWidth + x]];
                expected = 0xFF000000u | uint32_t{p.peRed} << 16 | uint32_t{p.peGreen} << 8 | p.peBlue;
            }
            ASSERT_EQ(actual, expected) << "at (" << x << ", " << y << ")";
        }
    }
}

}  // namespace
