// The window's frame: the picture at its place and black around it, the
// whole client to copy when the place changed and for a second after (or
// when asked), the picture's place alone otherwise; no old picture left
// beside the new place.
#include "hosts/core/window_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts/core/fit_scale.h"
#include "hosts/core/picture_area.h"

namespace {

using player::options::ScaleMode;
using Part = core::window_frame::Part;

constexpr uint32_t kBlack = 0xFF000000u;

struct Picture {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t{640} * 480);
    uint8_t rgbx[256 * 4] = {};
    uint32_t colours[256] = {};
    Picture() {
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + i / 640);
        for (int i = 0; i < 256; ++i) {
            rgbx[4 * i] = static_cast<uint8_t>(i);
            rgbx[4 * i + 1] = static_cast<uint8_t>(255 - i);
            rgbx[4 * i + 2] = static_cast<uint8_t>(i * 3);
            colours[i] = 0xFF000000u | uint32_t(i) << 16 | uint32_t(255 - i) << 8 | uint8_t(i * 3);
        }
    }
};

std::string Describe(const Part& p) {
    return std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(p.width) + "x" +
           std::to_string(p.height);
}

// "" when the frame holds the picture fitted at its place and black elsewhere.
std::string Wrong(const core::window_frame::Frame& frame, ScaleMode mode, const Picture& picture) {
    const core::PictureArea place = core::PictureAreaIn(frame.width, frame.height, mode);
    std::vector<uint32_t> fitted(static_cast<size_t>(place.width) * place.height);
    core::ConvertFitted(picture.pixels.data(), picture.colours, place.width, place.height, fitted.data(),
                        place.width * 4);
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const bool inside = x >= place.x && x < place.x + place.width && y >= place.y && y < place.y + place.height;
            const uint32_t expected =
                inside ? fitted[static_cast<size_t>(y - place.y) * place.width + (x - place.x)] : kBlack;
            if (frame.pixels[static_cast<size_t>(y) * frame.width + x] != expected)
                return "(" + std::to_string(x) + "," + std::to_string(y) + ")" +
                       (inside ? " in the picture" : " beside it");
        }
    return "";
}

TEST(WindowFrame, ThePictureBlackAroundAndThePartToCopy) {
    const Picture picture;
    core::window_frame::Frame frame{};
    auto draw = [&](int width, int height, ScaleMode mode) {
        frame = core::window_frame::Draw(picture.pixels.data(), picture.rgbx, width, height, mode);
        return Describe(frame.part);
    };
    EXPECT_EQ(draw(1920, 1080, ScaleMode::kFit), "0,0 1920x1080") << "the first frame";
    EXPECT_EQ(Wrong(frame, ScaleMode::kFit, picture), "");
    for (int n = 1; n < 60; ++n)
        ASSERT_EQ(draw(1920, 1080, ScaleMode::kFit), "0,0 1920x1080") << "a second after: " << n;
    EXPECT_EQ(draw(1920, 1080, ScaleMode::kFit), "240,0 1440x1080") << "then the picture alone";

    // Another mode moves the picture: black where it was, the whole again.
    EXPECT_EQ(draw(1920, 1080, ScaleMode::kInteger), "0,0 1920x1080");
    EXPECT_EQ(Wrong(frame, ScaleMode::kInteger, picture), "");
    // A narrower client, its rows closer: nothing of the old rows beside the picture.
    EXPECT_EQ(draw(1000, 600, ScaleMode::kFit), "0,0 1000x600");
    EXPECT_EQ(Wrong(frame, ScaleMode::kFit, picture), "");
    for (int n = 1; n < 60; ++n) draw(1000, 600, ScaleMode::kFit);
    EXPECT_EQ(draw(1000, 600, ScaleMode::kFit), "100,0 800x600");
    // Asked (a paint, a display change): the whole copied again, for a second.
    core::window_frame::Repaint();
    EXPECT_EQ(draw(1000, 600, ScaleMode::kFit), "0,0 1000x600");
    EXPECT_EQ(Wrong(frame, ScaleMode::kFit, picture), "");
}

}  // namespace
