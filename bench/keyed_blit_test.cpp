// Keyed 1:1 blits of noisy, dithered and sprite-like pictures, cut at every
// edge and taken from inside a strip, against a pixel-by-pixel reference:
// the fast paths the benchmarks measure must draw exactly what the rule says.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "hosts/headless/headless.h"
#include "winapi/ddraw.h"

namespace {

constexpr int kScreenW = 72;
constexpr int kScreenH = 40;
constexpr uint8_t kKey = 9;

struct Picture {
    int width, height;
    std::vector<uint8_t> pixels;
};

// Rows of different kinds in one picture, so that each row's path is chosen
// on its own: noise with little or much key, one pixel in two, one long run.
Picture MakePicture(int width, int height, std::mt19937& random) {
    Picture p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height)};
    std::uniform_int_distribution<int> colour(0, 255);
    std::uniform_real_distribution<double> chance(0, 1);
    auto opaque = [&] {
        int v = colour(random);
        return static_cast<uint8_t>(v == kKey ? v + 1 : v);
    };
    for (int y = 0; y < height; ++y) {
        uint8_t* row = p.pixels.data() + static_cast<size_t>(y) * width;
        const int kind = y % 5;
        for (int x = 0; x < width; ++x) {
            bool key = kind == 0   ? chance(random) < 0.3
                       : kind == 1 ? chance(random) < 0.8
                       : kind == 2 ? x % 2 == 0
                       : kind == 3 ? x < width / 4 || x >= width * 3 / 4
                                   : true;
            row[x] = key ? kKey : opaque();
        }
    }
    return p;
}

class KeyedBlitTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
        screen_ = Make(kScreenW, kScreenH);
        ASSERT_EQ(dd_->CreateClipper(0, &clipper_, nullptr), DD_OK);
        ASSERT_EQ(screen_->SetClipper(clipper_), DD_OK);
    }
    void TearDown() override {
        if (clipper_) clipper_->Release();
        if (screen_) screen_->Release();
        if (dd_) dd_->Release();
        headless::Reset();
    }

    IDirectDrawSurface* Make(int width, int height) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = static_cast<DWORD>(width);
        desc.dwHeight = static_cast<DWORD>(height);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }

    static void Write(IDirectDrawSurface* surface, const std::vector<uint8_t>& pixels) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (size_t y = 0; y < desc.dwHeight; ++y)
            std::copy_n(pixels.data() + y * desc.dwWidth, desc.dwWidth,
                        static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch);
        surface->Unlock(nullptr);
    }

    static std::vector<uint8_t> Read(IDirectDrawSurface* surface) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        std::vector<uint8_t> pixels(static_cast<size_t>(desc.dwWidth) * desc.dwHeight);
        for (size_t y = 0; y < desc.dwHeight; ++y)
            std::copy_n(static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch, desc.dwWidth,
                        pixels.data() + y * desc.dwWidth);
        surface->Unlock(nullptr);
        return pixels;
    }

    // Blits the source rectangle (sx, sy, w, h) of `picture` keyed to
    // (dx, dy) over `background` and compares with the rule pixel by pixel.
    void Check(IDirectDrawSurface* source, const Picture& picture, uint8_t key, int sx, int sy, int w, int h, int dx,
               int dy, const std::vector<uint8_t>& background) {
        Write(screen_, background);
        RECT dest{dx, dy, dx + w, dy + h};
        RECT src{sx, sy, sx + w, sy + h};
        ASSERT_EQ(screen_->Blt(&dest, source, &src, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
        std::vector<uint8_t> expected = background;
        for (int y = std::max(dy, 0); y < std::min(dy + h, kScreenH); ++y) {
            for (int x = std::max(dx, 0); x < std::min(dx + w, kScreenW); ++x) {
                const uint8_t v = picture.pixels[static_cast<size_t>(sy + y - dy) * picture.width + (sx + x - dx)];
                if (v != key) expected[static_cast<size_t>(y) * kScreenW + x] = v;
            }
        }
        const std::vector<uint8_t> actual = Read(screen_);
        for (size_t i = 0; i < actual.size(); ++i) {
            ASSERT_EQ(int{actual[i]}, int{expected[i]})
                << "pixel (" << i % kScreenW << ", " << i / kScreenW << ") of a " << w << "x" << h << " blit from ("
                << sx << ", " << sy << ") to (" << dx << ", " << dy << ") of a " << picture.width << "-wide picture";
        }
    }

    IDirectDraw* dd_ = nullptr;
    IDirectDrawSurface* screen_ = nullptr;
    IDirectDrawClipper* clipper_ = nullptr;
};

TEST_F(KeyedBlitTest, EveryWidthAndPlaceMatchesThePixelRule) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> colour(0, 255);
    std::vector<uint8_t> background(static_cast<size_t>(kScreenW) * kScreenH);
    for (uint8_t& v : background) v = static_cast<uint8_t>(colour(random));
    // Widths around the 8- and 16-pixel blocks, and wider than the screen.
    for (int width : {1, 2, 7, 8, 9, 15, 16, 17, 31, 33, 64, 90}) {
        const Picture picture = MakePicture(width, 11, random);
        IDirectDrawSurface* source = Make(width, picture.height);
        Write(source, picture.pixels);
        DDCOLORKEY key{kKey, kKey};
        ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
        for (int dx :
             {-width - 1, -width + 1, -width / 2, -1, 0, 3, kScreenW - width, kScreenW - width / 2, kScreenW - 1})
            for (int dy : {-5, 0, 2, kScreenH - 6})
                Check(source, picture, kKey, 0, 0, width, picture.height, dx, dy, background);
        // A part from inside the picture, as the bubbles are cut from their strip.
        if (width >= 9) {
            for (int sx : {1, width / 3, width - 8})
                Check(source, picture, kKey, sx, 2, std::min(8, width - sx), 7, 5, 4, background);
        }
        source->Release();
    }
}

TEST_F(KeyedBlitTest, NewPixelsAndANewKeyAreHonoured) {
    std::mt19937 random(777);
    const std::vector<uint8_t> background(static_cast<size_t>(kScreenW) * kScreenH, 200);
    Picture picture = MakePicture(40, 10, random);
    IDirectDrawSurface* source = Make(40, 10);
    Write(source, picture.pixels);
    DDCOLORKEY key{kKey, kKey};
    ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    Check(source, picture, kKey, 0, 0, 40, 10, 3, 3, background);
    // The last rows held only key; now every row is dithered.
    for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = i % 2 ? kKey : static_cast<uint8_t>(i);
    Write(source, picture.pixels);
    Check(source, picture, kKey, 0, 0, 40, 10, 3, 3, background);
    // Another key: what was transparent is drawn, and the new key's pixels are not.
    const uint8_t other = picture.pixels[2];
    DDCOLORKEY otherKey{other, other};
    ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &otherKey), DD_OK);
    Check(source, picture, other, 0, 0, 40, 10, -7, 1, background);
    source->Release();
}

}  // namespace
