// Bitmap surfaces and the drawing primitives: loading, the colour key,
// reloading, failures, clipping at the screen's edges, and text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "display/device.h"
#include "display/surface.h"
#include "display/texts.h"
#include "hosts/headless/headless.h"
#include "tests/display/display_fixture.h"
#include "winapi/cp932.h"
#include "winapi/surface_access.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr uint8_t kBackground = 0x01;

class SurfaceTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay();
    }
    void TearDown() override {
        for (IDirectDrawSurface* s : made_) s->Release();
        DisplayTest::TearDown();
    }
    IDirectDrawSurface* Load(const char* name) {
        IDirectDrawSurface* s = DDCreateSurface(name);
        if (s != nullptr) made_.push_back(s);
        return s;
    }
    // A picture written as bmp/<file> and loaded by its game name.
    IDirectDrawSurface* Picture(const std::string& file, int w, int h, const std::vector<uint8_t>& indices) {
        WritePicture("bmp/" + file, w, h, indices);
        return Load(("bmp\\" + file).c_str());
    }
    std::vector<IDirectDrawSurface*> made_;
};

TEST_F(SurfaceTest, CreatedSurfaceIsTheBitmapKeyedByItsTopLeftIndex) {
    // Index 0x33 is at the corner and at (11, 0) and (4, 1) inside.
    std::vector<uint8_t> indices = Pattern(13, 5, 40, 0x33);
    IDirectDrawSurface* s = Picture("a.bmp", 13, 5, indices);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SurfaceAccess::Width(s), 13);
    EXPECT_EQ(SurfaceAccess::Height(s), 5);
    EXPECT_EQ(PixelsOf(s), indices);
    EXPECT_EQ(headless::MessageBoxes().size(), 0u);

    FillBack(kBackground);
    EXPECT_EQ(BltKeyed(g_back, 100, 50, 13, 5, s, 0, 0, 13, 5), DD_OK);
    EXPECT_EQ(BltStretch(g_back, 300, 50, 13, 5, s, 0, 0, 13, 5), DD_OK);
    int transparent = 0;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 13; ++x) {
            uint8_t v = indices[y * 13 + x];
            transparent += v == 0x33;
            ASSERT_EQ(BackPixel(100 + x, 50 + y), v == 0x33 ? kBackground : v) << "keyed, at " << x << "," << y;
            ASSERT_EQ(BackPixel(300 + x, 50 + y), v) << "plain, at " << x << "," << y;
        }
    }
    EXPECT_EQ(transparent, 3);
}

TEST_F(SurfaceTest, PicturesNarrowerThanAWordLoad) {
    for (int w : {1, 2, 3}) {
        std::vector<uint8_t> indices = Pattern(w, 1, 9, 0xC4);
        IDirectDrawSurface* s = Picture("narrow" + std::to_string(w) + ".bmp", w, 1, indices);
        ASSERT_NE(s, nullptr) << w;
        EXPECT_EQ(PixelsOf(s), indices) << w;
        FillBack(kBackground);
        BltKeyed(g_back, 0, 0, w, 1, s, 0, 0, w, 1);
        EXPECT_EQ(BackPixel(0, 0), kBackground) << "the corner is the key, width " << w;
    }
}

TEST_F(SurfaceTest, AMissingBitmapGivesNothingAndNoReport) {
    for (const char* name : {"bmp\\missing.bmp", "bmp", "", "bmp\\short.bmp"}) {
        if (std::string(name) == "bmp\\short.bmp") WriteBytes("bmp/short.bmp", {'B', 'M', 1, 2, 3});
        EXPECT_EQ(DDCreateSurface(name), nullptr) << name;
    }
    EXPECT_EQ(headless::MessageBoxes().size(), 0u);
}

// A failing step is reported under its label and gives back what was made:
// two more failures hold on to far less than the 120000 pixels of the picture
// (only the reports' records grow).
TEST_F(SurfaceTest, FailuresAreReportedAndReleaseWhatWasMade) {
    WritePicture("bmp/a.bmp", 400, 300, Pattern(400, 300, 0, 0));
    const std::string offscreen =
        winapi::Cp932ToUtf8(kTextLabelOffscreenCreateSurface, std::strlen(kTextLabelOffscreenCreateSurface));
    const struct {
        const char* call;
        std::string label;
    } steps[] = {{"CreateSurface", offscreen}, {"GetDC", "DDCreateSurface() : GetDC"}, {"Lock", "Lock"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.call);
        size_t before = 0;
        for (int round = 0; round < 4; ++round) {
            if (round == 2) before = HeapInUse();
            size_t boxes = headless::MessageBoxes().size();
            headless::FailNext(step.call, DDERR_GENERIC);
            EXPECT_EQ(DDCreateSurface("bmp\\a.bmp"), nullptr);
            ASSERT_EQ(headless::MessageBoxes().size(), boxes + 1);
            EXPECT_EQ(headless::MessageBoxes().back().text,
                      "DirectDraw Error code| DDERR_GENERIC | " + step.label + "\n");
        }
        if (before != 0) {  // the sanitizer's allocator gives no figures
            EXPECT_LT(int64_t(HeapInUse()) - int64_t(before), 12000) << "bytes held after two more failures";
        }
    }
}

TEST_F(SurfaceTest, ReloadDrawsTheBitmapAgainAtTheTopLeftAndKeepsTheKey) {
    std::vector<uint8_t> first = Pattern(20, 10, 0, 0x33);
    IDirectDrawSurface* s = Picture("a.bmp", 20, 10, first);
    ASSERT_NE(s, nullptr);
    std::vector<uint8_t> big = Pattern(30, 15, 100, 0x44);
    WritePicture("bmp/big.bmp", 30, 15, big);
    std::vector<uint8_t> small = Pattern(8, 4, 200, 0x44);
    WritePicture("bmp/small.bmp", 8, 4, small);

    EXPECT_EQ(DDReLoadSurface(s, "bmp\\big.bmp"), 1);
    std::vector<uint8_t> pixels = PixelsOf(s);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(pixels[y * 20 + x], big[y * 30 + x]) << "larger, at " << x << "," << y;

    EXPECT_EQ(DDReLoadSurface(s, "bmp\\a.bmp"), 1);
    EXPECT_EQ(PixelsOf(s), first);
    EXPECT_EQ(DDReLoadSurface(s, "bmp\\small.bmp"), 1);
    pixels = PixelsOf(s);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(pixels[y * 20 + x], x < 8 && y < 4 ? small[y * 8 + x] : first[y * 20 + x])
                << "smaller, at " << x << "," << y;

    // The key is still the first picture's corner, not the new one's.
    FillBack(kBackground);
    BltKeyed(g_back, 0, 0, 20, 10, s, 0, 0, 20, 10);
    EXPECT_EQ(BackPixel(0, 0), 0x44);
    EXPECT_EQ(headless::MessageBoxes().size(), 0u);
}

TEST_F(SurfaceTest, AFailedReloadLeavesTheSurfaceAsItWas) {
    std::vector<uint8_t> first = Pattern(20, 10, 0, 0x33);
    IDirectDrawSurface* s = Picture("a.bmp", 20, 10, first);
    ASSERT_NE(s, nullptr);
    WritePicture("bmp/b.bmp", 20, 10, Pattern(20, 10, 90, 0x10));
    EXPECT_EQ(DDReLoadSurface(s, "bmp\\missing.bmp"), 0);
    EXPECT_EQ(headless::MessageBoxes().size(), 0u);
    headless::FailNext("GetDC", MakeDDResult(620));
    EXPECT_EQ(DDReLoadSurface(s, "bmp\\b.bmp"), 0);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text,
              "DirectDraw Error code| DDERR_DCALREADYCREATED | DDReLoadSurface() : GetDC\n");
    EXPECT_EQ(PixelsOf(s), first);
}

// A 113-pixel-wide picture whose only key pixel is its corner, at places on
// and off the screen: each back-buffer pixel is the picture's or untouched.
TEST_F(SurfaceTest, KeyedBlitsAreCutAtTheScreenEdges) {
    const int w = 113, h = 20;
    std::vector<uint8_t> indices = Pattern(w, h, 1, 0);
    IDirectDrawSurface* s = Picture("wide.bmp", w, h, indices);
    ASSERT_NE(s, nullptr);
    const struct {
        int32_t x, y;
        int columns;  // visible columns, for the record
    } places[] = {{-50, 100, 63},  {600, 100, 40}, {-113, 100, 0},       {640, 100, 0}, {100, -15, 113},
                  {100, 470, 113}, {-60, -10, 53}, {610, 465, 30},       {kMin, 0, 0},  {kMax - 5, 0, 0},
                  {0, kMax, 0},    {0, kMin, 0},   {kMin + 50, kMax, 0}, {-112, 479, 1}};
    for (const auto& p : places) {
        SCOPED_TRACE("at " + std::to_string(p.x) + "," + std::to_string(p.y));
        FillBack(kBackground);
        BltKeyed(g_back, p.x, p.y, w, h, s, 0, 0, w, h);
        int columns = 0;
        for (int by = 0; by < kScreenHeight; ++by) {
            for (int bx = 0; bx < kScreenWidth; ++bx) {
                int64_t sx = int64_t{bx} - p.x, sy = int64_t{by} - p.y;
                bool inside = sx >= 0 && sx < w && sy >= 0 && sy < h;
                uint8_t v = inside ? indices[sy * w + sx] : 0;
                ASSERT_EQ(BackPixel(bx, by), inside && v != 0 ? v : kBackground) << "back pixel " << bx << "," << by;
                columns += inside && by == std::max(0, p.y);
            }
        }
        EXPECT_EQ(columns, p.columns);
    }
}

TEST_F(SurfaceTest, RectanglesAreLeftTopWidthHeightAndNeverWrap) {
    IDirectDrawSurface* s = Picture("a.bmp", 8, 8, Pattern(8, 8, 0, 0));
    ASSERT_NE(s, nullptr);
    const struct {
        bool keyed;
        int32_t x, y, w, h, sx, sy, sw, sh;
        RECT dest, src;
    } calls[] = {
        {false, 5, 6, 7, 8, 1, 2, 3, 4, {5, 6, 12, 14}, {1, 2, 4, 6}},
        {true, -3, -4, 8, 8, 0, 0, 8, 8, {-3, -4, 5, 4}, {0, 0, 8, 8}},
        {true, kMax - 1, 0, 10, 8, 0, 0, 8, 8, {kMax - 1, 0, kMax, 8}, {0, 0, 8, 8}},
        {false, 0, kMin + 1, 8, -10, 0, 0, 8, 8, {0, kMin + 1, 8, kMin}, {0, 0, 8, 8}},
    };
    winapi::RecordDraws(true);
    for (const auto& c : calls) {
        (c.keyed ? BltKeyed : BltStretch)(g_back, c.x, c.y, c.w, c.h, s, c.sx, c.sy, c.sw, c.sh);
        std::vector<winapi::DrawNote> notes = winapi::TakeDraws();
        ASSERT_EQ(notes.size(), 1u);
        const winapi::BltNote& b = notes[0].blt;
        EXPECT_EQ(b.keyed, c.keyed);
        EXPECT_EQ(b.dest, g_back);
        EXPECT_EQ(b.src, s);
        EXPECT_EQ(std::vector<LONG>({b.destRect.left, b.destRect.top, b.destRect.right, b.destRect.bottom}),
                  std::vector<LONG>({c.dest.left, c.dest.top, c.dest.right, c.dest.bottom}));
        EXPECT_EQ(std::vector<LONG>({b.srcRect.left, b.srcRect.top, b.srcRect.right, b.srcRect.bottom}),
                  std::vector<LONG>({c.src.left, c.src.top, c.src.right, c.src.bottom}));
    }
}

TEST_F(SurfaceTest, AHugeStretchDrawsOnlyTheScreen) {
    IDirectDrawSurface* s = Picture("a.bmp", 8, 8, Pattern(8, 8, 0, 0x2A));
    ASSERT_NE(s, nullptr);
    FillBack(kBackground);
    EXPECT_EQ(BltStretch(g_back, 10, 0, kMax, kMax, s, 0, 0, 8, 8), DD_OK);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) ASSERT_EQ(BackPixel(x, y), x < 10 ? kBackground : 0x2A) << x << "," << y;
    // A rectangle turned inside out draws nothing.
    FillBack(kBackground);
    EXPECT_EQ(BltKeyed(g_back, 100, 100, -8, 8, s, 0, 0, 8, 8), DDERR_INVALIDRECT);
    EXPECT_EQ(BackPixel(95, 100), kBackground);
}

class DrawStringTest : public SurfaceTest {
protected:
    // Pixels that differ from the background, and the box around them.
    struct Changes {
        int count = 0;
        int left = kScreenWidth, top = kScreenHeight, right = -1, bottom = -1;
        bool oneIndex = true;
        uint8_t index = 0;
    };
    static Changes Changed() {
        Changes c;
        for (int y = 0; y < kScreenHeight; ++y) {
            for (int x = 0; x < kScreenWidth; ++x) {
                uint8_t v = BackPixel(x, y);
                if (v == kBackground) continue;
                if (c.count++ == 0) c.index = v;
                c.oneIndex = c.oneIndex && v == c.index;
                c.left = std::min(c.left, x), c.top = std::min(c.top, y);
                c.right = std::max(c.right, x), c.bottom = std::max(c.bottom, y);
            }
        }
        return c;
    }
};

TEST_F(DrawStringTest, TextIsDrawnInThePaletteColourOverATransparentBackground) {
    const struct {
        COLORREF colour;
        uint8_t index;  // of the 3-3-2 palette
    } colours[] = {{0x00FFFFFF, 0xFF}, {0x0000FFFF, 0xFC}, {0x00FFFF00, 0x1F}, {0x00FF00FF, 0xE3}};
    winapi::RecordDraws(true);
    for (const auto& c : colours) {
        SCOPED_TRACE(c.colour);
        FillBack(kBackground);
        winapi::TakeDraws();
        DrawString(10, 20, "AB", c.colour);
        Changes changed = Changed();
        EXPECT_GT(changed.count, 10);
        EXPECT_TRUE(changed.oneIndex);
        EXPECT_EQ(changed.index, c.index);
        EXPECT_GE(changed.left, 10);
        EXPECT_GE(changed.top, 20);
        EXPECT_LT(changed.bottom, 20 + 16);
        std::vector<winapi::DrawNote> notes = winapi::TakeDraws();
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].text.text, "AB");
        EXPECT_EQ(notes[0].text.colour, c.colour);
        EXPECT_EQ(notes[0].text.x, 10);
        EXPECT_EQ(notes[0].text.y, 20);
    }
}

TEST_F(DrawStringTest, TextIsCutAtTheScreenEdges) {
    const struct {
        int32_t x, y;
        bool visible;
    } places[] = {{630, 470, true},    {-12, -10, true},    {640, 0, false},     {0, 480, false},
                  {kMin, kMax, false}, {kMax, kMin, false}, {kMax - 3, 0, false}};
    for (const auto& p : places) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        FillBack(kBackground);
        DrawString(p.x, p.y, "WWWWWW", 0x00FFFFFF);
        Changes changed = Changed();
        EXPECT_EQ(changed.count > 0, p.visible);
        if (p.visible) {
            EXPECT_GE(changed.left, std::max(p.x, 0));
            EXPECT_GE(changed.top, std::max(p.y, 0));
        }
    }
}

TEST_F(DrawStringTest, AnEmptyTextTakesAndGivesBackTheContext) {
    FillBack(kBackground);
    DrawString(10, 10, "", 0x00FFFFFF);
    EXPECT_EQ(Changed().count, 0);
    HDC dc = nullptr;
    ASSERT_EQ(g_back->GetDC(&dc), DD_OK) << "the context was left taken";
    g_back->ReleaseDC(dc);
}

TEST_F(DrawStringTest, ABusyBackBufferIsAskedAgainALostOneGivenUp) {
    FillBack(kBackground);
    headless::FailNext("GetDC", DDERR_SURFACEBUSY);
    DrawString(10, 10, "AB", 0x00FFFFFF);
    EXPECT_GT(Changed().count, 0) << "a refused context must be asked for again";

    winapi::RecordDraws(true);
    headless::LoseSurfaces();
    DrawString(10, 10, "AB", 0x00FFFFFF);  // must come back
    EXPECT_TRUE(winapi::TakeDraws().empty());
    ASSERT_EQ(g_primary->Restore(), DD_OK);
    HDC dc = nullptr;
    ASSERT_EQ(g_back->GetDC(&dc), DD_OK);
    g_back->ReleaseDC(dc);
}

TEST_F(DisplayTest, DrawStringWithoutADisplayDoesNothing) {
    DrawString(0, 0, "AB", 0x00FFFFFF);
    EXPECT_EQ(g_back, nullptr);
}

}  // namespace
