// The picture as 32-bit pixels against the plainest conversion: every palette
// entry and every pair of neighbours, at each whole factor, into rows that
// lie `pitch` bytes apart, nothing written outside, the colours of each call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts/core/argb.h"

namespace {

// Every ordered pair of indices side by side where pixels are taken two at a time.
std::vector<uint8_t> EveryPair() {
    std::vector<uint8_t> pixels(size_t{kScreenWidth} * kScreenHeight);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i % 2 == 0 ? i / 2 : i / 512);
    return pixels;
}

constexpr uint32_t kUntouched = 0x12345678;

// The target, `margin` pixels on each side not the picture's, after converting;
// "" when each pixel is its index's colour at `scale` and the margins untouched.
std::string Wrong(const std::vector<uint32_t>& target, int margin, int scale, const std::vector<uint8_t>& pixels,
                  const uint32_t colours[256]) {
    const int width = kScreenWidth * scale + 2 * margin, height = kScreenHeight * scale + 2 * margin;
    int wrong = 0;
    std::string first;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int px = x - margin, py = y - margin;
            const bool inside = px >= 0 && px < kScreenWidth * scale && py >= 0 && py < kScreenHeight * scale;
            const uint32_t expected =
                inside ? colours[pixels[static_cast<size_t>(py / scale) * kScreenWidth + px / scale]] : kUntouched;
            const uint32_t actual = target[static_cast<size_t>(y) * width + x];
            if (actual != expected && wrong++ == 0)
                first = "(" + std::to_string(x) + "," + std::to_string(y) + ") " + std::to_string(actual) + " not " +
                        std::to_string(expected);
        }
    return wrong == 0 ? "" : std::to_string(wrong) + " wrong, the first at " + first;
}

// Each case twice, the colours changed in place between: a conversion keeps nothing of the last.
TEST(ConvertScaled, EveryPairAtEachScaleAndNothingOutside) {
    const std::vector<uint8_t> pixels = EveryPair();
    const struct {
        int scale;
        int margin;  // 0 and 4 keep the rows on 16-byte boundaries, 1 to 3 do not
    } cases[] = {{1, 0}, {1, 1}, {1, 3}, {2, 0}, {2, 1}, {2, 2}, {2, 4}, {3, 1}, {4, 2}, {5, 1}};
    for (const auto& c : cases) {
        uint32_t colours[256];
        for (uint32_t seed : {0u, 0x9E3779B9u}) {
            for (uint32_t i = 0; i < 256; ++i) colours[i] = (i * 0x01030507u) ^ seed;
            const int width = kScreenWidth * c.scale + 2 * c.margin;
            std::vector<uint32_t> target(static_cast<size_t>(width) * (kScreenHeight * c.scale + 2 * c.margin),
                                         kUntouched);
            core::ConvertScaled(pixels.data(), colours, c.scale, &target[size_t(c.margin) * width + c.margin],
                                width * 4);
            EXPECT_EQ(Wrong(target, c.margin, c.scale, pixels, colours), "")
                << "scale " << c.scale << ", margin " << c.margin << ", seed " << seed;
        }
    }
}

// The palette's entries as opaque 0xFFRRGGBB, whatever their flags, a palette after another.
TEST(ConvertToArgb, EveryIndexTakesItsEntryOpaque) {
    const std::vector<uint8_t> pixels = EveryPair();
    PALETTEENTRY palette[256];
    for (int shift : {0, 85}) {
        uint32_t colours[256];
        for (int i = 0; i < 256; ++i) {
            const int j = (i + shift) & 0xFF;
            palette[i] = PALETTEENTRY{static_cast<BYTE>(j), static_cast<BYTE>(j * 7), static_cast<BYTE>(255 - j), 0x55};
            colours[i] = 0xFF000000u | uint32_t(j) << 16 | uint32_t(j * 7 & 0xFF) << 8 | uint32_t(255 - j);
        }
        constexpr int kMargin = 3;
        const int width = kScreenWidth + 2 * kMargin;
        std::vector<uint32_t> target(static_cast<size_t>(width) * (kScreenHeight + 2 * kMargin), kUntouched);
        core::ConvertToArgb(pixels.data(), palette, &target[size_t{kMargin} * width + kMargin], width * 4);
        EXPECT_EQ(Wrong(target, kMargin, 1, pixels, colours), "") << "palette shifted by " << shift;
    }
}

}  // namespace
