// The palette reader on every BMP test case, whole and cut one byte short:
// it sets all 256 entries, from the table where there is one, as they were
// for a true-colour picture, the start-up palette where the headers are unusable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/device.h"
#include "tests/badinput/palette_model.h"
#include "tests/display/display_fixture.h"
#include "tests/winapi/bmp_cases.h"

namespace {

class PaletteOfBadFiles : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay();
    }
};

TEST_F(PaletteOfBadFiles, EveryCaseGivesTheEntriesItsBytesAllow) {
    int counts[3] = {0, 0, 0};
    for (const BmpCase& c : BmpCases()) {
        std::vector<std::vector<uint8_t>> files = {c.bytes};
        if (!c.bytes.empty()) files.emplace_back(c.bytes.begin(), c.bytes.end() - 1);
        for (const std::vector<uint8_t>& file : files) {
            SCOPED_TRACE(c.name + " (" + std::to_string(file.size()) + " bytes)");
            WriteBytes("bmp/back.bmp", file);
            ScramblePalette();
            PALETTEENTRY before[256];
            for (int i = 0; i < 256; ++i) before[i] = g_palette[i];
            ASSERT_EQ(LoadPaletteFromBitmap("bmp\\back.bmp"), DD_OK);
            PALETTEENTRY want[256];
            ++counts[static_cast<int>(badinput::ExpectedPalette(file, before, want))];
            PALETTEENTRY shown[256];
            ASSERT_EQ(g_ddPalette->GetEntries(0, 0, 256, shown), DD_OK);
            for (int i = 0; i < 256; ++i) {
                ASSERT_EQ(EntryText(g_palette[i]), EntryText(want[i])) << "entry " << i;
                ASSERT_EQ(EntryText(shown[i]), EntryText(want[i])) << "palette object entry " << i;
            }
        }
    }
    // The cases hold files of each kind, so none of the rules above goes untried.
    for (int count : counts) EXPECT_GT(count, 0);
}

}  // namespace
