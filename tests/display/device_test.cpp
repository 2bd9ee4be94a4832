// The display device: the start-up palette, the palette read from a bitmap,
// each step of building the device failing, and its release.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "display/device.h"
#include "hosts/headless/headless.h"
#include "tests/display/display_fixture.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/palette_match.h"

namespace {

TEST(FillDefaultPalette, ThreeThreeTwoLevels) {
    PALETTEENTRY entries[256];
    std::memset(entries, 0xAB, sizeof entries);
    FillDefaultPalette(entries);
    const struct {
        int index;
        const char* rgbf;
    } rows[] = {{0x00, "0,0,0,0"},   {0x03, "0,0,255,0"},     {0x1C, "0,255,0,0"},
                {0xE0, "255,0,0,0"}, {0xFF, "255,255,255,0"}, {0x49, "73,73,85,0"},
                {0x24, "36,36,0,0"}, {0x6E, "109,109,170,0"}, {0xB5, "182,182,85,0"}};
    for (const auto& row : rows) EXPECT_EQ(EntryText(entries[row.index]), row.rgbf) << "index " << row.index;
    const int levels[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(entries[i].peRed, levels[i >> 5]) << i;
        ASSERT_EQ(entries[i].peGreen, levels[(i >> 2) & 7]) << i;
        ASSERT_EQ(entries[i].peBlue, (i & 3) * 85) << i;
        ASSERT_EQ(entries[i].peFlags, 0) << i;
    }
}

// A 1x1 picture whose header is `headerSize` bytes (12: the core header,
// 3-byte entries), `bits` a pixel, announcing `used` colours, with `entries`
// table entries of a pattern.
std::vector<uint8_t> PaletteFile(uint32_t headerSize, uint16_t bits, uint32_t used, size_t entries) {
    const bool core = headerSize == 12;
    const size_t tableAt = 14 + headerSize;
    const size_t dataAt = tableAt + entries * (core ? 3 : 4);
    std::vector<uint8_t> bytes(dataAt + 4);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes[at + i] = uint8_t(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(10, uint32_t(dataAt), 4);
    put(14, headerSize, 4);
    if (core) {
        put(18, 1, 2), put(20, 1, 2), put(22, 1, 2), put(24, bits, 2);
    } else {
        put(18, 1, 4), put(22, 1, 4), put(26, 1, 2), put(28, bits, 2), put(46, used, 4);
    }
    for (size_t i = tableAt; i < dataAt; ++i) bytes[i] = uint8_t(i * 37 + 11);
    return bytes;
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

class PaletteFromBitmapTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay();
    }
    // What the palette object was given last.
    static std::vector<std::string> Shown() {
        PALETTEENTRY entries[256];
        EXPECT_EQ(g_ddPalette->GetEntries(0, 0, 256, entries), DD_OK);
        std::vector<std::string> out;
        for (const PALETTEENTRY& e : entries) out.push_back(EntryText(e));
        return out;
    }
};

TEST_F(PaletteFromBitmapTest, EachHeaderKindGivesItsTableFromWhereItSaysItIs) {
    enum Outcome { kTable, kKept, kDefault };
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        Outcome outcome;
        size_t colours = 0;  // entries from the table, (red, green, blue, 0)
    } cases[] = {
        {"core header, 8 bits", PaletteFile(12, 8, 0, 256), kTable, 256},
        {"core header, 4 bits", PaletteFile(12, 4, 0, 16), kTable, 16},
        {"info header, 8 bits", PaletteFile(40, 8, 0, 256), kTable, 256},
        {"info header, 1 bit", PaletteFile(40, 1, 0, 2), kTable, 2},
        {"info header, 5 colours used", PaletteFile(40, 8, 5, 5), kTable, 5},
        {"V4 header, 8 bits", PaletteFile(108, 8, 0, 256), kTable, 256},
        {"V5 header, 4 bits, 3 colours used", PaletteFile(124, 4, 3, 3), kTable, 3},
        {"info header, 24 bits", PaletteFile(40, 24, 0, 0), kKept},
        {"info header, 16 bits", PaletteFile(40, 16, 0, 0), kKept},
        {"V5 header, 32 bits", PaletteFile(124, 32, 0, 0), kKept},
        {"300 colours used of 256", PaletteFile(40, 8, 300, 300), kDefault},
        {"header of 64 bytes", PaletteFile(64, 8, 0, 256), kDefault},
        {"table cut short", Cut(PaletteFile(40, 8, 0, 256), 54 + 100), kDefault},
        {"info header cut short", Cut(PaletteFile(40, 8, 0, 256), 30), kDefault},
        {"empty file", {}, kDefault},
    };
    PALETTEENTRY defaults[256];
    FillDefaultPalette(defaults);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes("bmp/pal.bmp", c.file);
        ScramblePalette();
        PALETTEENTRY before[256];
        std::memcpy(before, g_palette, sizeof before);
        EXPECT_EQ(LoadPaletteFromBitmap("bmp\\pal.bmp"), DD_OK);
        const size_t tableAt = c.file.size() > 18 ? 14 + c.file[14] : 0;
        const size_t step = c.file.size() > 18 && c.file[14] == 12 ? 3 : 4;
        for (size_t i = 0; i < 256; ++i) {
            PALETTEENTRY want = c.outcome == kKept ? before[i] : defaults[i];
            if (i < c.colours) {
                const uint8_t* e = c.file.data() + tableAt + i * step;
                want = PALETTEENTRY{e[2], e[1], e[0], 0};
            }
            ASSERT_EQ(EntryText(g_palette[i]), EntryText(want)) << "entry " << i;
        }
        std::vector<std::string> shown = Shown();
        for (int i = 0; i < 256; ++i) ASSERT_EQ(shown[i], EntryText(g_palette[i])) << "palette object entry " << i;
    }
}

TEST_F(PaletteFromBitmapTest, NoNameOrNoFileGivesTheDefaultPaletteAndStillSetsIt) {
    PALETTEENTRY defaults[256];
    FillDefaultPalette(defaults);
    for (const char* name : {static_cast<const char*>(nullptr), "bmp\\missing.bmp", "", "bmp"}) {
        SCOPED_TRACE(name ? name : "(null)");
        ScramblePalette();
        LoadPaletteFromBitmap(name);
        std::vector<std::string> shown = Shown();
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(EntryText(g_palette[i]), EntryText(defaults[i])) << i;
            ASSERT_EQ(shown[i], EntryText(defaults[i])) << i;
        }
    }
}

TEST_F(PaletteFromBitmapTest, APictureOfOurWriterGivesItsColourTable) {
    PALETTEENTRY palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = PALETTEENTRY{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
    WriteBytes("bmp/back.bmp", EncodeBmp8(2, 2, {0, 1, 2, 3}, palette));
    EXPECT_EQ(LoadPaletteFromBitmap("bmp\\back.bmp"), DD_OK);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(EntryText(g_palette[i]), EntryText(palette[i])) << i;
    // The display matches colours against it from now on.
    EXPECT_EQ(EntryText(winapi::DisplayPalette()[200]), EntryText(palette[200]));
}

}  // namespace

namespace {

class InitDirectDrawTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWDEFAULT), 1);
    }
    static bool NothingHeld() {
        return g_dd == nullptr && g_primary == nullptr && g_back == nullptr && g_clipper == nullptr &&
               g_ddPalette == nullptr;
    }
};

TEST_F(InitDirectDrawTest, BuildsTheWholeDeviceForTheActiveWindow) {
    ASSERT_EQ(InitDirectDraw(), 1);
    EXPECT_EQ(g_errorOwner, g_mainWindow);
    EXPECT_TRUE(g_dd && g_primary && g_back && g_clipper && g_ddPalette);
    EXPECT_NE(g_back, g_primary);
    PALETTEENTRY defaults[256];
    FillDefaultPalette(defaults);
    // The default palette is on the primary: it is what the display matches against.
    for (int i = 0; i < 256; ++i) ASSERT_EQ(EntryText(winapi::DisplayPalette()[i]), EntryText(defaults[i])) << i;
    EXPECT_EQ(headless::MessageBoxes().size(), 0u);
    // The back buffer flips to the screen.
    FillBack(0x1C);
    EXPECT_EQ(g_primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(headless::LastFrame().pixels[1234], 0x1C);
    ReleaseDirectDraw();
    EXPECT_TRUE(NothingHeld());
}

// Each step failing: reported once under its own name, everything made so far
// released (the next start finds no primary in its way), 0 returned.
TEST_F(InitDirectDrawTest, EachFailingStepIsReportedAndLeavesNothingBehind) {
    const struct {
        const char* call;
        HRESULT code;
        const char* name;
        bool paletteFilled;  // the default entries were written before the failure
    } steps[] = {
        {"DirectDrawCreate", MakeDDResult(563), "DDERR_NODIRECTDRAWHW", false},
        {"SetCooperativeLevel", MakeDDResult(581), "DDERR_EXCLUSIVEMODEALREADYSET", false},
        {"SetDisplayMode", MakeDDResult(590), "DDERR_UNSUPPORTEDMODE", false},
        {"CreateSurface", MakeDDResult(380), "DDERR_OUTOFVIDEOMEMORY", false},
        {"GetAttachedSurface", MakeDDResult(255), "DDERR_NOTFOUND", false},
        {"CreateClipper", DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY", false},
        {"SetHWnd", MakeDDResult(571), "DDERR_HWNDALREADYSET", false},
        {"SetClipper", DDERR_GENERIC, "DDERR_GENERIC", false},
        {"CreatePalette", DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS", true},
        {"SetPalette", MakeDDResult(573), "DDERR_NOPALETTEHW", true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.call);
        headless::Reset();
        g_errorOwner = nullptr;
        std::memset(g_palette, 0x77, sizeof g_palette);
        ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWDEFAULT), 1);
        headless::FailNext(step.call, step.code);
        EXPECT_EQ(InitDirectDraw(), 0);
        std::string line = std::string("DirectDraw Error code| ") + step.name + " | " + step.call + "\n";
        ASSERT_EQ(headless::MessageBoxes().size(), 1u);
        EXPECT_EQ(headless::MessageBoxes()[0].text, line);
        EXPECT_EQ(headless::MessageBoxes()[0].caption, "DirectDraw Error !!");
        ASSERT_EQ(headless::DebugLines().size(), 1u);
        EXPECT_EQ(headless::DebugLines()[0], line);
        EXPECT_TRUE(NothingHeld());
        EXPECT_EQ(g_errorOwner, g_mainWindow);
        EXPECT_EQ(g_palette[0x49].peBlue, step.paletteFilled ? 85 : 0x77);
        // Nothing of the failed start stands in the way of a new one.
        EXPECT_EQ(InitDirectDraw(), 1);
        EXPECT_EQ(headless::MessageBoxes().size(), 1u);
        ReleaseDirectDraw();
    }
}

TEST_F(InitDirectDrawTest, AFailedStartFreesTheClipperAndPaletteToo) {
    if (HeapInUse() == 0) GTEST_SKIP() << "heap figures unavailable under this allocator";
    for (const char* call : {"SetHWnd", "SetClipper", "CreatePalette", "SetPalette", "GetAttachedSurface"}) {
        SCOPED_TRACE(call);
        size_t before = 0;
        for (int round = 0; round < 4; ++round) {
            headless::Reset();
            ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWDEFAULT), 1);
            headless::FailNext(call, DDERR_GENERIC);
            ASSERT_EQ(InitDirectDraw(), 0);
            headless::Reset();
            g_mainWindow = nullptr;
            if (round == 1) before = HeapInUse();  // after the first rounds filled every cache
            if (round == 3) {
                EXPECT_EQ(HeapInUse(), before) << "bytes held after two more failed starts";
            }
        }
    }
}

TEST_F(InitDirectDrawTest, NoDisplayIsReportedAsNoHardware) {
    headless::SetDisplayAvailable(false);
    EXPECT_EQ(InitDirectDraw(), 0);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "DirectDraw Error code| DDERR_NODIRECTDRAWHW | DirectDrawCreate\n");
    EXPECT_TRUE(NothingHeld());
}

TEST_F(InitDirectDrawTest, ReleaseWithoutOrAfterADeviceIsHarmless) {
    ReleaseDirectDraw();
    EXPECT_TRUE(NothingHeld());
    ASSERT_EQ(InitDirectDraw(), 1);
    ReleaseDirectDraw();
    ReleaseDirectDraw();
    EXPECT_TRUE(NothingHeld());
    // Its palette is gone with it: colours are matched against the default again.
    EXPECT_EQ(winapi::DisplayPalette()[3].peBlue, 255);
    // Without a palette object there is nothing to set, but nothing breaks.
    EXPECT_EQ(LoadPaletteFromBitmap(nullptr), DDERR_INVALIDOBJECT);
    EXPECT_EQ(g_palette[0x49].peBlue, 85);
}

}  // namespace
