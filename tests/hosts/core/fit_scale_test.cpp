// The picture fitted to a size by our own conversion, against a plain model
// of what fit means: the picture enlarged by the largest whole factor, as
// its own image, then sampled bilinearly at each target pixel's centre.
// Within rounding everywhere, nothing written outside, the colours of each
// call; a whole multiple pixel for pixel; in the processor's widest vectors
// and in plain code alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "hosts/core/argb.h"
#include "hosts/core/fit_scale.h"

namespace {

constexpr uint32_t kUntouched = 0x12345678;

// A picture of noise: every edge between pixels a hard one.
std::vector<uint8_t> Noise() {
    std::vector<uint8_t> pixels(size_t{kScreenWidth} * kScreenHeight);
    uint32_t state = 12345;
    for (uint8_t& p : pixels) {
        state = state * 1103515245u + 12345u;
        p = static_cast<uint8_t>(state >> 16);
    }
    return pixels;
}

void Palette(uint32_t seed, uint32_t colours[256]) {
    for (uint32_t i = 0; i < 256; ++i) colours[i] = 0xFF000000u | (((i * 0x01030507u) ^ seed) & 0xFFFFFFu);
}

// The model: the enlarged picture's pixel (i, j), and its channel c at the
// point (u, v) of it, weighed from the four pixels around.
struct Model {
    const std::vector<uint8_t>& pixels;
    const uint32_t* colours;
    int factor;
    int Channel(int i, int j, int c) const {
        const uint32_t colour = colours[pixels[static_cast<size_t>(j / factor) * kScreenWidth + i / factor]];
        return static_cast<int>(colour >> (8 * c) & 0xFF);
    }
    double At(double u, double v, int c) const {
        const int sharpWidth = kScreenWidth * factor, sharpHeight = kScreenHeight * factor;
        u = std::clamp(u, 0.0, sharpWidth - 1.0);
        v = std::clamp(v, 0.0, sharpHeight - 1.0);
        const int i = static_cast<int>(u), j = static_cast<int>(v);
        const int i1 = std::min(i + 1, sharpWidth - 1), j1 = std::min(j + 1, sharpHeight - 1);
        const double f = u - i, g = v - j;
        return (1 - f) * (1 - g) * Channel(i, j, c) + f * (1 - g) * Channel(i1, j, c) +
               (1 - f) * g * Channel(i, j1, c) + f * g * Channel(i1, j1, c);
    }
};

// "" when every pixel of the width x height picture, `margin` pixels in
// from the target's edges, is within `slack` of the model in each channel
// and the margins are untouched; else how many are not and the worst.
std::string Wrong(const std::vector<uint32_t>& target, int width, int height, int margin, const Model& model) {
    const int stride = width + 2 * margin;
    const int factor = model.factor;
    constexpr double kSlack = 1.75;  // a rounding at each of the two steps, and weights in 256ths
    int wrong = 0;
    double worst = 0;
    std::string where;
    for (int y = 0; y < height + 2 * margin; ++y)
        for (int x = 0; x < stride; ++x) {
            const uint32_t actual = target[static_cast<size_t>(y) * stride + x];
            const int px = x - margin, py = y - margin;
            if (px < 0 || py < 0 || px >= width || py >= height) {
                if (actual != kUntouched && wrong++ == 0) where = "outside at " + std::to_string(x);
                continue;
            }
            const double u = (px + 0.5) * kScreenWidth * factor / width - 0.5;
            const double v = (py + 0.5) * kScreenHeight * factor / height - 0.5;
            for (int c = 0; c < 4; ++c) {
                const double off = std::abs(static_cast<double>(actual >> (8 * c) & 0xFF) - model.At(u, v, c));
                if (off <= kSlack) continue;
                if (wrong++ == 0) where = "(" + std::to_string(px) + "," + std::to_string(py) + ")";
                worst = std::max(worst, off);
                break;
            }
        }
    return wrong == 0
               ? ""
               : std::to_string(wrong) + " wrong, the first at " + where + ", off by up to " + std::to_string(worst);
}

// Each test twice: in the processor's widest vectors, then in plain code.
class ConvertFitted : public testing::TestWithParam<core::FitInstructions> {
protected:
    void SetUp() override { core::UseFitInstructions(GetParam()); }
    void TearDown() override { core::UseFitInstructions(core::FitInstructions::kWidest); }
};

INSTANTIATE_TEST_SUITE_P(Instructions, ConvertFitted,
                         testing::Values(core::FitInstructions::kWidest, core::FitInstructions::kPlain));

TEST_P(ConvertFitted, EveryPixelIsTheEnlargedPictureSampledSmoothly) {
    const std::vector<uint8_t> pixels = Noise();
    const struct {
        int width, height, margin;  // margins of 0 and 4 keep rows on 16-byte boundaries
    } cases[] = {
        {1440, 1080, 0},                 // 1920x1080's: twice, then an eighth more
        {1024, 768, 3},                  // 1366x768's: its own size, then three fifths more
        {1365, 1023, 1},                 // neither side a multiple of 4
        {1920, 1440, 0},                 // three times, nothing smooth
        {2000, 1500, 4}, {700, 500, 2},  // wider than tall, for the picture: each axis its own
        {320, 240, 1},                   // a window smaller than the picture
        {641, 481, 0},   {300, 1, 2},    // one row of the target, the same two of the picture each call
    };
    for (const auto& c : cases) {
        const int factor = std::max(1, std::min(c.width / kScreenWidth, c.height / kScreenHeight));
        uint32_t colours[256];
        // Twice, the colours changed between: nothing is kept of the last call's.
        for (uint32_t seed : {0u, 0x9E3779B9u}) {
            Palette(seed, colours);
            const int stride = c.width + 2 * c.margin;
            std::vector<uint32_t> target(static_cast<size_t>(stride) * (c.height + 2 * c.margin), kUntouched);
            core::ConvertFitted(pixels.data(), colours, c.width, c.height,
                                &target[static_cast<size_t>(c.margin) * stride + c.margin], stride * 4);
            EXPECT_EQ(Wrong(target, c.width, c.height, c.margin, Model{pixels, colours, factor}), "")
                << c.width << "x" << c.height << ", margin " << c.margin << ", seed " << seed;
        }
    }
}

// A whole multiple is that multiple pixel for pixel, as integer shows it;
// so is a plain colour at any size, blended with itself.
TEST_P(ConvertFitted, WholeMultiplesAndPlainColoursStaySharp) {
    const std::vector<uint8_t> pixels = Noise();
    uint32_t colours[256];
    Palette(7, colours);
    std::vector<uint32_t> fitted(size_t{1280} * 960), scaled(size_t{1280} * 960);
    core::ConvertFitted(pixels.data(), colours, 1280, 960, fitted.data(), 1280 * 4);
    core::ConvertScaled(pixels.data(), colours, 2, scaled.data(), 1280 * 4);
    EXPECT_TRUE(fitted == scaled);

    const std::vector<uint8_t> plain(pixels.size(), 200);
    for (auto [width, height] : {std::pair{1440, 1080}, std::pair{999, 777}, std::pair{320, 240}}) {
        std::vector<uint32_t> target(static_cast<size_t>(width) * height);
        core::ConvertFitted(plain.data(), colours, width, height, target.data(), width * 4);
        EXPECT_EQ(std::count(target.begin(), target.end(), colours[200]), static_cast<long>(target.size()))
            << width << "x" << height;
    }
}

}  // namespace
