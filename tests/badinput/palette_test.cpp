// The palette reader on every BMP test case, whole and cut one byte short:
// it sets all 256 entries, keeps the start-up palette where the headers are
// incomplete and turns round only the colours a usable header announces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/device.h"
#include "tests/badinput/palette_model.h"
#include "tests/display/display_fixture.h"
#include "tests/platform/bmp_cases.h"

namespace {

class PaletteOfBadFiles : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay();
    }
};

TEST_F(PaletteOfBadFiles, EveryCaseGivesTheEntriesItsBytesAllow) {
    PALETTEENTRY defaults[256];
    FillDefaultPalette(defaults);
    int headerCut = 0, turnedSome = 0, turnedNone = 0;
    for (const BmpCase& c : BmpCases()) {
        std::vector<std::vector<uint8_t>> files = {c.bytes};
        if (!c.bytes.empty()) files.emplace_back(c.bytes.begin(), c.bytes.end() - 1);
        for (const std::vector<uint8_t>& file : files) {
            SCOPED_TRACE(c.name + " (" + std::to_string(file.size()) + " bytes)");
            WriteBytes("bmp/back.bmp", file);
            ScramblePalette();
            ASSERT_EQ(LoadPaletteFromBitmap("bmp\\back.bmp"), DD_OK);
            PALETTEENTRY want[256];
            badinput::ExpectedPalette(file, want);
            PALETTEENTRY shown[256];
            ASSERT_EQ(g_ddPalette->GetEntries(0, 0, 256, shown), DD_OK);
            for (int i = 0; i < 256; ++i) {
                ASSERT_EQ(EntryText(g_palette[i]), EntryText(want[i])) << "entry " << i;
                ASSERT_EQ(EntryText(shown[i]), EntryText(want[i])) << "palette object entry " << i;
            }
            if (file.size() < 54) {
                ++headerCut;
                for (int i = 0; i < 256; ++i)
                    ASSERT_EQ(EntryText(g_palette[i]), EntryText(defaults[i])) << "entry " << i;
            } else if (file.size() >= 58 && file[54] != file[56]) {
                // Entry 0 read whole, its blue and red bytes telling turned from as read.
                ++(g_palette[0].peRed == file[56] ? turnedSome : turnedNone);
            }
        }
    }
    // The table holds files of each kind, so none of the rules above goes untried.
    EXPECT_GT(headerCut, 0);
    EXPECT_GT(turnedSome, 0);
    EXPECT_GT(turnedNone, 0);
}

}  // namespace
