// The SDL host's picture: through the palette at whole scales with black
// borders, by renderer and by window surface, fit by the core's conversion,
// which of the two a machine gets, and F12's screenshot of it.
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "hosts/core/argb.h"
#include "hosts/core/fit_scale.h"
#include "hosts/core/remembered.h"
#include "hosts/core/worker.h"
#include "hosts/sdl/sdl_present.h"
#include "player/png_write.h"
#include "tests/hosts/sdl/sdl_host_fixture.h"
#include "tests/support/support.h"
#include "winapi/host.h"

namespace {

using namespace sdltest;

// Each palette entry a colour of its own, the picture a pattern of indices.
uint32_t Colour(int i) { return static_cast<uint32_t>((i * 37 + 11) & 0xFF) << 16 | (255 - i) << 8 | (i ^ 0x5A); }

struct Picture {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t{kScreenWidth} * kScreenHeight);
    PALETTEENTRY palette[256];
    uint32_t colours[256];

    Picture() {
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) pixels[y * kScreenWidth + x] = static_cast<uint8_t>(x * 3 + y * 7);
        for (int i = 0; i < 256; ++i) {
            colours[i] = Colour(i);
            palette[i] = PALETTEENTRY{static_cast<BYTE>(colours[i] >> 16), static_cast<BYTE>(colours[i] >> 8),
                                      static_cast<BYTE>(colours[i]), 0};
        }
    }
    uint32_t At(int x, int y) const { return Colour(pixels[static_cast<size_t>(y) * kScreenWidth + x]); }
};

// Each picture pixel a square of `scale`, written where the corner is and
// nowhere else, whatever the rows' pitch.
TEST(ConvertScaled, EachPixelASquareAndNothingOutside) {
    const Picture picture;
    constexpr uint32_t kUntouched = 0x12345678;
    constexpr int kLeft = 3, kTop = 2, kRight = 5, kBottom = 4;  // margins not to be written
    for (int scale : {1, 2, 3}) {
        const int width = kLeft + kScreenWidth * scale + kRight, height = kTop + kScreenHeight * scale + kBottom;
        std::vector<uint32_t> target(static_cast<size_t>(width) * height, kUntouched);
        uint32_t* corner = &target[static_cast<size_t>(kTop) * width + kLeft];
        core::ConvertScaled(picture.pixels.data(), picture.colours, scale, corner, width * 4);
        int wrong = 0;
        std::string first;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int px = x - kLeft, py = y - kTop;
                bool inside = px >= 0 && px < kScreenWidth * scale && py >= 0 && py < kScreenHeight * scale;
                uint32_t expected = inside ? picture.At(px / scale, py / scale) : kUntouched;
                uint32_t actual = target[static_cast<size_t>(y) * width + x];
                if (actual != expected && wrong++ == 0)
                    first = "(" + std::to_string(x) + "," + std::to_string(y) + ") expected " +
                            std::to_string(expected) + " got " + std::to_string(actual);
            }
        EXPECT_EQ(wrong, 0) << "scale " << scale << ": first wrong pixel at " << first;
    }
}

// What the window shows as 0xRRGGBB: the renderer's output, or else the window's surface.
std::vector<uint32_t> Shown(SDL_Window* window, int* w, int* h) {
    std::vector<uint32_t> shown;
    if (SDL_Renderer* renderer = SDL_GetRenderer(window)) {
        if (SDL_GetRendererOutputSize(renderer, w, h) != 0) return shown;
        shown.resize(static_cast<size_t>(*w) * *h);
        if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, shown.data(), *w * 4) != 0) shown.clear();
    } else if (SDL_Surface* surface = SDL_GetWindowSurface(window)) {
        *w = surface->w;
        *h = surface->h;
        shown.resize(static_cast<size_t>(*w) * *h);
        if (SDL_ConvertPixels(*w, *h, surface->format->format, surface->pixels, surface->pitch,
                              SDL_PIXELFORMAT_ARGB8888, shown.data(), *w * 4) != 0)
            shown.clear();
    }
    for (uint32_t& p : shown) p &= 0xFFFFFF;
    return shown;
}

// The wrong pixels of `shown` for the picture placed at `r`, "" when none:
// black outside it; inside, at whole scales the very pixel of the picture,
// shrunk one of the picture's pixels next to the nearest.
std::string Mismatch(const std::vector<uint32_t>& shown, int w, int h, const SDL_Rect& r, const Picture& picture) {
    const int scale = r.w / kScreenWidth;
    int wrong = 0;
    std::string first;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t got = shown[static_cast<size_t>(y) * w + x];
            const bool inside = x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
            bool ok = false;
            if (!inside) {
                ok = got == 0;
            } else if (scale >= 1) {
                ok = got == picture.At((x - r.x) / scale, (y - r.y) / scale);
            } else {
                // Shrunk, nearest or smoothly: each channel within those of
                // the picture's pixels around the place it samples.
                const int cx = (2 * (x - r.x) + 1) * kScreenWidth / (2 * r.w);
                const int cy = (2 * (y - r.y) + 1) * kScreenHeight / (2 * r.h);
                ok = true;
                for (int shift : {0, 8, 16}) {
                    uint32_t low = 0xFF, high = 0;
                    for (int sy = std::max(0, cy - 1); sy <= std::min(kScreenHeight - 1, cy + 1); ++sy)
                        for (int sx = std::max(0, cx - 1); sx <= std::min(kScreenWidth - 1, cx + 1); ++sx) {
                            low = std::min(low, picture.At(sx, sy) >> shift & 0xFF);
                            high = std::max(high, picture.At(sx, sy) >> shift & 0xFF);
                        }
                    ok = ok && (got >> shift & 0xFF) >= low && (got >> shift & 0xFF) <= high;
                }
            }
            if (!ok && wrong++ == 0)
                first = "(" + std::to_string(x) + "," + std::to_string(y) + ") got " + std::to_string(got);
        }
    return wrong == 0 ? "" : std::to_string(wrong) + " wrong pixels, the first at " + first;
}

// The display opened again with KAWAUO_PRESENT as given ("" for the host's own choice).
SDL_Window* Reopen(const char* present) {
    winapi::host::CloseDisplay();
    if (*present != '\0') setenv("KAWAUO_PRESENT", present, 1);
    else unsetenv("KAWAUO_PRESENT");
    return winapi::host::OpenDisplay("2DGAME") ? GameWindow() : nullptr;
}

// The picture read back from a window whose size the test sets.
class SdlPicture : public SdlHost {
protected:
    void SetUp() override {}
    void TearDown() override {
        unsetenv("SDL_RENDER_DRIVER");
        core::LoadSettings("", player::options::Options{});
        Reopen("");
    }
    void Open(const char* setting, sdl::present::Path path) {
        player::options::Options integer;
        integer.scale = player::options::ScaleMode::kInteger;
        core::LoadSettings("", integer);
        window_ = Reopen(setting);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        ASSERT_EQ(sdl::present::Current(), path) << sdl::present::Describe();
        PushKey(true, SDLK_RETURN, KMOD_ALT);
        Drain();
    }

    // A new size, and what a driver may leave in the pixels of a new surface.
    void Resize(int width, int height) {
        SDL_SetWindowSize(window_, width, height);
        Drain();
        if (SDL_GetRenderer(window_) == nullptr) Scribble();
    }
    void Scribble() {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        ASSERT_NE(surface, nullptr) << SDL_GetError();
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
    }
    std::string Check(int width, int height, const SDL_Rect& picture) {
        winapi::host::Present(picture_.pixels.data(), picture_.palette);
        int w = 0, h = 0;
        std::vector<uint32_t> shown = Shown(window_, &w, &h);
        if (shown.empty()) return std::string("nothing to read back: ") + SDL_GetError();
        if (w != width || h != height)
            return "shown at " + std::to_string(w) + "x" + std::to_string(h) + ", not " + std::to_string(width) + "x" +
                   std::to_string(height);
        return Mismatch(shown, w, h, picture, picture_);
    }
    const Picture picture_;
};

struct PathCase {
    const char* setting;
    sdl::present::Path path;
};

class SdlPicturePaths : public SdlPicture, public testing::WithParamInterface<PathCase> {};

// At several window sizes, by each way of presenting, exactly. The renderer
// is SDL's software one, whose output can be read back after a present.
TEST_P(SdlPicturePaths, WholeScalesLetterboxedBlackAtEverySize) {
    setenv("SDL_RENDER_DRIVER", "software", 1);
    ASSERT_NO_FATAL_FAILURE(Open(GetParam().setting, GetParam().path));
    struct ScaleCase {
        int width;
        int height;
        SDL_Rect picture;
    };
    const ScaleCase cases[] = {
        {640, 480, {0, 0, 640, 480}},      {1300, 980, {10, 10, 1280, 960}},  {1920, 1080, {320, 60, 1280, 960}},
        {2000, 700, {680, 110, 640, 480}}, {1950, 1450, {15, 5, 1920, 1440}}, {400, 400, {0, 50, 400, 300}},
        {800, 300, {200, 0, 400, 300}},    {640, 480, {0, 0, 640, 480}},
    };
    for (const ScaleCase& c : cases) {
        Resize(c.width, c.height);
        EXPECT_EQ(Check(c.width, c.height, c.picture), "")
            << c.width << "x" << c.height << " " << sdl::present::Describe();
    }
}

// The borders are painted when the window's pixels may have gone, not every frame.
TEST_F(SdlPicture, BordersPaintedAgainOnceExposed) {
    ASSERT_NO_FATAL_FAILURE(Open("surface", sdl::present::Path::kWindowSurface));
    const SDL_Rect picture{10, 10, 1280, 960};
    Resize(1300, 980);
    ASSERT_EQ(Check(1300, 980, picture), "");
    Scribble();
    EXPECT_NE(Check(1300, 980, picture), "") << "borders cleared without need";
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    Drain();
    EXPECT_EQ(Check(1300, 980, picture), "") << "after the window was exposed";
    Scribble();
    PushKey(true, SDLK_RETURN, KMOD_ALT);
    PushKey(true, SDLK_RETURN, KMOD_ALT);  // full screen and back
    Drain();
    SDL_SetWindowSize(window_, 1300, 980);
    Drain();
    EXPECT_EQ(Check(1300, 980, picture), "") << "after Alt+Enter twice";
}

// Fit on the window's own pixels is the core's conversion: the picture
// Windows shows at that size, pixel for pixel.
TEST_F(SdlPicture, FitOnTheWindowSurfaceIsTheCoresConversion) {
    ASSERT_NO_FATAL_FAILURE(Open("surface", sdl::present::Path::kWindowSurface));
    sdl::present::SetScaleMode(player::options::ScaleMode::kFit);
    for (const auto& [width, height] : {std::pair{1000, 700}, std::pair{500, 500}}) {
        Resize(width, height);
        winapi::host::Present(picture_.pixels.data(), picture_.palette);
        int w = 0, h = 0;
        const std::vector<uint32_t> shown = Shown(window_, &w, &h);
        ASSERT_TRUE(w == width && h == height) << w << "x" << h;
        const SDL_Rect r = sdl::present::PictureRect(w, h, player::options::ScaleMode::kFit);
        std::vector<uint32_t> fitted(static_cast<size_t>(r.w) * r.h);
        core::ConvertFitted(picture_.pixels.data(), picture_.colours, r.w, r.h, fitted.data(), r.w * 4);
        int wrong = 0;
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x)
                wrong += (fitted[static_cast<size_t>(y) * r.w + x] & 0xFFFFFF) !=
                         shown[static_cast<size_t>(r.y + y) * w + r.x + x];
        EXPECT_EQ(wrong, 0) << width << "x" << height;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, SdlPicturePaths,
                         testing::Values(PathCase{"renderer", sdl::present::Path::kRenderer},
                                         PathCase{"surface", sdl::present::Path::kWindowSurface}),
                         [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.setting); });

// Whether SDL's renderer on this driver is drawn by the processor: the
// software renderer, or OpenGL by one of Mesa's processor rasterisers.
bool RendererIsProcessor() {
    SDL_Window* window = SDL_CreateWindow("probe", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    bool processor = true;
    SDL_RendererInfo info;
    if (renderer != nullptr && SDL_GetRendererInfo(renderer, &info) == 0 && SDL_strcmp(info.name, "software") != 0) {
        auto getString = reinterpret_cast<const GLubyte* (*)(GLenum)>(SDL_GL_GetProcAddress("glGetString"));
        const char* gl = getString != nullptr ? reinterpret_cast<const char*>(getString(GL_RENDERER)) : "";
        processor = gl != nullptr && (SDL_strstr(gl, "llvmpipe") != nullptr || SDL_strstr(gl, "softpipe") != nullptr);
    }
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    if (window != nullptr) SDL_DestroyWindow(window);
    return processor;
}

// On its own the host takes the window surface where SDL's renderer would be
// the processor's work anyway, and the renderer only on a graphics card.
TEST_F(SdlHost, ChoosesTheWindowSurfaceWithoutAGraphicsCard) {
    for (const char* driver : {"software", ""}) {
        if (*driver != '\0') setenv("SDL_RENDER_DRIVER", driver, 1);
        else unsetenv("SDL_RENDER_DRIVER");
        const bool processor = RendererIsProcessor();
        ASSERT_NE(Reopen(""), nullptr) << SDL_GetError();
        EXPECT_EQ(sdl::present::Current(),
                  processor ? sdl::present::Path::kWindowSurface : sdl::present::Path::kRenderer)
            << "render driver '" << driver << "': " << sdl::present::Describe();
    }
    unsetenv("SDL_RENDER_DRIVER");
    Reopen("");
}

// F12 writes the picture last shown, byte for byte the sim's PNG of it, into
// the pictures folder, twice in a second under two names; the game never hears of it.
TEST_F(SdlPicture, F12SavesTheShownPictureUnseen) {
    namespace fs = std::filesystem;
    const testsupport::TempFolder scratch("kawauo-shots");
    const fs::path folder = scratch / "pictures";  // not there yet: the host makes it
    setenv("XDG_PICTURES_DIR", folder.c_str(), 1);
    window_ = Reopen("surface");
    ASSERT_NE(window_, nullptr);
    winapi::host::Present(picture_.pixels.data(), picture_.palette);
    for (int i = 0; i < 2; ++i) {
        PushKey(true, SDLK_F12);
        PushKey(false, SDLK_F12);
    }
    ExpectEvents({}, "F12");
    core::FinishWriting();  // the pictures are written off the game's thread
    std::string why;
    const fs::path expected = scratch / "expected.png";
    ASSERT_TRUE(player::WritePalettePng(expected.string(), picture_.pixels.data(), kScreenWidth, kScreenHeight,
                                        picture_.palette, &why))
        << why;
    std::vector<fs::path> shots;
    for (const auto& entry : fs::directory_iterator(folder / "kawauo")) shots.push_back(entry.path());
    EXPECT_EQ(shots.size(), 2u);
    for (const fs::path& shot : shots)
        EXPECT_TRUE(testsupport::ReadBytes(shot) == testsupport::ReadBytes(expected)) << shot;
    unsetenv("XDG_PICTURES_DIR");
}

}  // namespace
