// Where a host shows the picture: whole factors or fit, 4:3, centred, and
// shrunk on outputs smaller than the picture.
#include "hosts/core/picture_area.h"

#include <gtest/gtest.h>

namespace {

using player::options::ScaleMode;

TEST(PictureArea, WholeFactorsOrFitCentred) {
    struct Row {
        int width, height;
        ScaleMode mode;
        core::PictureArea expected;
    };
    const Row rows[] = {
        {640, 480, ScaleMode::kInteger, {0, 0, 640, 480}},       {1300, 980, ScaleMode::kInteger, {10, 10, 1280, 960}},
        {1920, 1080, ScaleMode::kInteger, {320, 60, 1280, 960}}, {1366, 768, ScaleMode::kInteger, {363, 144, 640, 480}},
        {2000, 700, ScaleMode::kInteger, {680, 110, 640, 480}},  {400, 400, ScaleMode::kInteger, {0, 50, 400, 300}},
        {800, 300, ScaleMode::kInteger, {200, 0, 400, 300}},     {1366, 768, ScaleMode::kFit, {171, 0, 1024, 768}},
        {1920, 1080, ScaleMode::kFit, {240, 0, 1440, 1080}},     {1280, 960, ScaleMode::kFit, {0, 0, 1280, 960}},
        {1600, 900, ScaleMode::kFit, {200, 0, 1200, 900}},       {800, 300, ScaleMode::kFit, {200, 0, 400, 300}},
        {1000, 1000, ScaleMode::kFit, {0, 125, 1000, 750}},
    };
    for (const Row& r : rows) {
        core::PictureArea got = core::PictureAreaIn(r.width, r.height, r.mode);
        EXPECT_TRUE(got.x == r.expected.x && got.y == r.expected.y && got.width == r.expected.width &&
                    got.height == r.expected.height)
            << r.width << "x" << r.height << " " << player::options::NameOf(r.mode) << ": " << got.x << "," << got.y
            << " " << got.width << "x" << got.height;
    }
}

// A window nobody sized: whole multiples where twice the picture fits, else
// (fit) the largest 4:3 that fits, never smaller than the picture.
TEST(PictureArea, TheDefaultWindow) {
    struct Row {
        int roomWidth, roomHeight;  // the work area less the frame
        ScaleMode mode;
        int width, height;
    };
    const Row rows[] = {
        {1366, 737, ScaleMode::kFit, 982, 737},      // Wine's 1366x768 less a caption: past 1.5 times
        {1366, 689, ScaleMode::kFit, 918, 689},      // the same above a taskbar
        {1366, 737, ScaleMode::kInteger, 640, 480},  // integer keeps whole factors
        {1280, 960, ScaleMode::kFit, 1280, 960},     // twice fits exactly
        {1904, 1001, ScaleMode::kFit, 1280, 960},    // 1920x1080 less frame and taskbar: twice, sharp
        {2544, 1401, ScaleMode::kFit, 1280, 960},    // 2560x1440: three times does not fit
        {1920, 1500, ScaleMode::kFit, 1920, 1440},   // three times
        {800, 600, ScaleMode::kFit, 800, 600},      {1000, 500, ScaleMode::kFit, 666, 500},
        {600, 400, ScaleMode::kFit, 640, 480},  // a room smaller than the picture: the picture
        {600, 400, ScaleMode::kInteger, 640, 480},
    };
    for (const Row& r : rows) {
        const core::PictureArea got = core::DefaultWindowIn(r.roomWidth, r.roomHeight, r.mode);
        EXPECT_TRUE(got.width == r.width && got.height == r.height)
            << r.roomWidth << "x" << r.roomHeight << " " << player::options::NameOf(r.mode) << ": " << got.width << "x"
            << got.height;
    }
}

// The size the player left a window in is kept while it fits the room.
TEST(PictureArea, TheWindowThePlayerLeft) {
    struct Row {
        int leftWidth, leftHeight;
        int width, height;
    };
    const Row rows[] = {
        {800, 700, 800, 700},      // fits: kept, whatever its shape
        {1904, 1001, 1904, 1001},  // the whole room
        {1905, 600, 1280, 960},    // too wide: the default
        {700, 1002, 1280, 960},    // too tall
        {0, 0, 1280, 960},         // never sized
    };
    for (const Row& r : rows) {
        const core::PictureArea got = core::WindowIn(1904, 1001, r.leftWidth, r.leftHeight, ScaleMode::kFit);
        EXPECT_TRUE(got.width == r.width && got.height == r.height)
            << r.leftWidth << "x" << r.leftHeight << ": " << got.width << "x" << got.height;
    }
}

}  // namespace
