// BMP reading: every format decodes to its pixels; malformed files are refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "tests/support/support.h"
#include "tests/winapi/bmp_cases.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/bmp_decode.h"
#include "winapi/picture_load.h"

namespace {

// Decodes from a buffer of exactly `size` bytes, so a read past the end
// lands outside the allocation where the address sanitizer sees it.
bool DecodeExact(const std::vector<uint8_t>& bytes, size_t size, DecodedBitmap* out) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size > 0 ? size : 1]);
    std::copy(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size), copy.get());
    return DecodeBmp(copy.get(), size, out);
}

// Something for a refusal to clear.
DecodedBitmap Leftover() {
    DecodedBitmap b;
    b.width = b.height = 7;
    b.indices.assign(49, 1);
    b.rgb.assign(49, 1);
    b.colours.assign(256, PALETTEENTRY{1, 1, 1, 1});
    return b;
}

void ExpectColours(const BmpCase& c, const DecodedBitmap& out) {
    ASSERT_EQ(256u, out.colours.size());
    for (size_t i = 0; i < 256; ++i) {
        const uint32_t want = i < c.colours.size() ? c.colours[i] : 0;
        const PALETTEENTRY& e = out.colours[i];
        const uint32_t got = static_cast<uint32_t>(e.peRed) << 16 | static_cast<uint32_t>(e.peGreen) << 8 | e.peBlue;
        EXPECT_EQ(want, got) << "colour " << i;
        EXPECT_EQ(0, e.peFlags) << "colour " << i;
    }
}

class BmpCaseTest : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpCaseTest, DecodesToItsPixelsOrIsRefused) {
    const BmpCase& c = GetParam();
    DecodedBitmap out = Leftover();
    const bool ok = DecodeExact(c.bytes, c.bytes.size(), &out);
    ASSERT_EQ(c.decodes, ok) << (c.decodes ? "refused a good file" : "accepted a malformed file");
    if (!ok) {
        EXPECT_EQ(0, out.width);
        EXPECT_EQ(0, out.height);
        EXPECT_TRUE(out.colours.empty() && out.indices.empty() && out.rgb.empty()) << "a refusal leaves old pixels";
        return;
    }
    EXPECT_EQ(c.width, out.width);
    EXPECT_EQ(c.height, out.height);
    if (c.rgb.empty()) {
        ExpectColours(c, out);
        EXPECT_EQ(c.indices, out.indices);
        EXPECT_TRUE(out.rgb.empty());
    } else {
        EXPECT_EQ(c.rgb, out.rgb);
        EXPECT_TRUE(out.colours.empty() && out.indices.empty());
    }
}

// Cutting a complete file anywhere, from its first byte to its last, loses
// part of a header, the table or the pixels.
class BmpPrefixTest : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpPrefixTest, EveryShorterPrefixIsRefused) {
    const BmpCase& c = GetParam();
    for (size_t size = 0; size < c.bytes.size(); ++size) {
        DecodedBitmap out;
        EXPECT_FALSE(DecodeExact(c.bytes, size, &out))
            << "accepted the first " << size << " of " << c.bytes.size() << " bytes";
    }
}

std::string CaseName(const ::testing::TestParamInfo<BmpCase>& info) { return info.param.name; }

std::vector<BmpCase> CompleteFiles() {
    std::vector<BmpCase> cases = BmpCases();
    std::erase_if(cases, [](const BmpCase& c) { return !c.prefixesRefused; });
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Corpus, BmpCaseTest, ::testing::ValuesIn(BmpCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Corpus, BmpPrefixTest, ::testing::ValuesIn(CompleteFiles()), CaseName);

TEST(BmpDecode, NullDataIsRefused) {
    DecodedBitmap out = Leftover();
    EXPECT_FALSE(DecodeBmp(nullptr, 0, &out));
    EXPECT_TRUE(out.indices.empty());
}

// An RLE8 picture of the given size and stream, 16 colours.
std::vector<uint8_t> Rle8File(int32_t width, int32_t height, std::vector<uint8_t> stream) {
    BmpFields s;
    s.width = width, s.height = height, s.compression = 1, s.clrUsed = 2, s.colours = {0x102030, 0x405060};
    s.data = std::move(stream);
    return BuildBmp(s);
}

TEST(BmpDecode, ReadsAPictureOfTheLargestArea) {
    const std::vector<uint8_t> file = Rle8File(8192, 8192, {0, 1});
    DecodedBitmap out;
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), &out));
    EXPECT_EQ(8192, out.width);
    EXPECT_EQ(8192, out.height);
    EXPECT_EQ(static_cast<size_t>(kMaxBitmapPixels), out.indices.size());
}

// Deltas past the right edge add up to more than an int holds; the column
// must stay put at the edge instead of wrapping round to a negative one.
TEST(BmpDecode, EndlessDeltasStayInsideTheRow) {
    std::vector<uint8_t> stream;
    for (int i = 0; i < 8500000; ++i) stream.insert(stream.end(), {0, 2, 255, 0});
    stream.insert(stream.end(), {2, 1, 0, 0, 1, 1, 0, 1});
    DecodedBitmap out;
    const std::vector<uint8_t> file = Rle8File(4, 2, std::move(stream));
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), &out));
    EXPECT_EQ((std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0}), out.indices);
}

// The game's own pictures are written by the shared writer; they must come
// back exactly.
TEST(BmpDecode, ReadsTheWritersPictures) {
    PALETTEENTRY palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
    for (int width : {1, 2, 3, 4, 5, 113}) {
        std::vector<uint8_t> indices;
        for (int i = 0; i < width * 3; ++i) indices.push_back(static_cast<uint8_t>(i * 31 + width));
        const std::vector<uint8_t> file = EncodeBmp8(width, 3, indices, palette);
        DecodedBitmap out;
        ASSERT_TRUE(DecodeBmp(file.data(), file.size(), &out)) << "width " << width;
        EXPECT_EQ(width, out.width);
        EXPECT_EQ(3, out.height);
        EXPECT_EQ(indices, out.indices) << "width " << width;
        ASSERT_EQ(256u, out.colours.size());
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(palette[i].peRed, out.colours[i].peRed) << "entry " << i;
            EXPECT_EQ(palette[i].peGreen, out.colours[i].peGreen) << "entry " << i;
            EXPECT_EQ(palette[i].peBlue, out.colours[i].peBlue) << "entry " << i;
        }
    }
}

class BmpFileTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = folder_ / name;
        FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(nullptr, f) << path;
        if (f) {
            if (!bytes.empty()) {
                EXPECT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), f));
            }
            std::fclose(f);
        }
        return path;
    }
    testsupport::TempFolder folder_{"kawauo-bmp"};
};

TEST_F(BmpFileTest, LoadsWhatDecodeReads) {
    for (const BmpCase& c : BmpCases()) {
        if (c.bytes.empty()) continue;  // the empty file has its own case
        DecodedBitmap fromFile = Leftover(), fromMemory;
        const bool ok = LoadBmpFile(Make(c.name + ".bmp", c.bytes), &fromFile);
        EXPECT_EQ(c.decodes, ok) << c.name;
        DecodeBmp(c.bytes.data(), c.bytes.size(), &fromMemory);
        EXPECT_EQ(fromMemory.width, fromFile.width) << c.name;
        EXPECT_EQ(fromMemory.indices, fromFile.indices) << c.name;
        EXPECT_EQ(fromMemory.rgb, fromFile.rgb) << c.name;
    }
}

TEST_F(BmpFileTest, RefusesWhatIsNoPictureFile) {
    const std::string subdir = folder_ / "folder.bmp";
    ASSERT_EQ(0, mkdir(subdir.c_str(), 0700));
    struct Case {
        const char* what;
        std::string path;
    };
    for (const Case& c : {Case{"missing file", folder_ / "none.bmp"}, Case{"directory", subdir},
                          Case{"empty file", Make("empty.bmp", {})}, Case{"empty path", ""}}) {
        DecodedBitmap out = Leftover();
        EXPECT_FALSE(LoadBmpFile(c.path, &out)) << c.what;
        EXPECT_TRUE(out.indices.empty() && out.colours.empty()) << c.what;
    }
}

}  // namespace
