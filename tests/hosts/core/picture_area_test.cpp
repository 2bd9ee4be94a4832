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

}  // namespace
