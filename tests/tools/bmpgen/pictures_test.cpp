// The 33 committed pictures and the English forms of the lettered ones:
// catalogue, format, shared palette, see-through areas, the river's seam, the
// bubble strip, stacked mutations, and that the generator still draws
// exactly these bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/support/support.h"
#include "winapi/bmp_decode.h"
#include "winapi/palette_match.h"
#include "winapi/picture_load.h"

namespace {

struct Entry {
    const char* name;
    int width, height;
    bool keyed;
};

// The game's catalogue, in loading order.
const Entry kCatalogue[] = {
    {"back.bmp", 640, 480, false},       {"back2.bmp", 640, 480, false},      {"back3.bmp", 640, 480, false},
    {"push.bmp", 640, 480, true},        {"awa.bmp", 112, 16, true},          {"opn.bmp", 640, 480, true},
    {"fish1.bmp", 170, 170, true},       {"fish2.bmp", 170, 170, true},       {"fisht.bmp", 170, 170, true},
    {"sokodikara1.bmp", 170, 170, true}, {"sokodikara2.bmp", 170, 170, true}, {"sokodikara3.bmp", 170, 170, true},
    {"tomogui1.bmp", 170, 170, true},    {"tomogui2.bmp", 170, 170, true},    {"tomogui3.bmp", 170, 170, true},
    {"fait1.bmp", 170, 170, true},       {"fait2.bmp", 170, 170, true},       {"fait3.bmp", 170, 170, true},
    {"henge0.bmp", 170, 170, true},      {"henge1.bmp", 170, 170, true},      {"henge2.bmp", 170, 170, true},
    {"henge3.bmp", 170, 170, true},      {"henge4.bmp", 170, 170, true},      {"henge5.bmp", 170, 170, true},
    {"henge6.bmp", 170, 170, true},      {"henge7.bmp", 170, 170, true},      {"henge8.bmp", 170, 170, true},
    {"syougai1.bmp", 38, 38, true},      {"syougai0.bmp", 60, 60, true},      {"syougai2.bmp", 113, 113, true},
    {"syougai4.bmp", 113, 113, true},    {"syougai5.bmp", 113, 113, true},    {"syougai3.bmp", 113, 113, true},
};

// The title and pause pictures as the English game shows them.
const Entry kEnglishForms[] = {{"en/push.bmp", 640, 480, true}, {"en/opn.bmp", 640, 480, true}};

std::vector<Entry> AllFiles() {
    std::vector<Entry> all(std::begin(kCatalogue), std::end(kCatalogue));
    all.insert(all.end(), std::begin(kEnglishForms), std::end(kEnglishForms));
    return all;
}

using testsupport::ReadBytes;

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::string BmpDir() { return std::string(KAWAUO_SOURCE_DIR) + "/bmp/"; }

class Pictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const Entry& e : AllFiles()) {
            DecodedBitmap bmp;
            if (LoadBmpFile(BmpDir() + e.name, &bmp)) decoded_[e.name] = std::move(bmp);
        }
    }
    static const DecodedBitmap& Get(const std::string& name) {
        static const DecodedBitmap kEmpty;
        auto it = decoded_.find(name);
        return it == decoded_.end() ? kEmpty : it->second;
    }
    static int At(const DecodedBitmap& b, int x, int y) { return b.indices[static_cast<size_t>(y * b.width + x)]; }
    static int Key(const DecodedBitmap& b) { return b.indices.empty() ? -1 : b.indices[0]; }
    static const PALETTEENTRY* Screen() { return Get("back.bmp").colours.data(); }

    static std::map<std::string, DecodedBitmap> decoded_;
};

std::map<std::string, DecodedBitmap> Pictures::decoded_;

TEST_F(Pictures, EveryFileIsAnEightBitPictureOfItsCatalogueSizeWithTheScreenPalette) {
    const std::vector<uint8_t> back = ReadBytes(BmpDir() + "back.bmp");
    ASSERT_GE(back.size(), 54u + 1024u) << "bmp/back.bmp missing or short";
    for (const Entry& e : AllFiles()) {
        SCOPED_TRACE(e.name);
        const std::vector<uint8_t> b = ReadBytes(BmpDir() + e.name);
        ASSERT_GE(b.size(), 54u + 1024u) << "missing or short";
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(Le32(b, 14), 40u) << "information header size";
        EXPECT_EQ(static_cast<int>(Le32(b, 18)), e.width);
        EXPECT_EQ(static_cast<int>(Le32(b, 22)), e.height);
        EXPECT_EQ(b[28] | b[29] << 8, 8) << "bits per pixel";
        EXPECT_EQ(Le32(b, 30), 0u) << "compression";
        const uint32_t used = Le32(b, 46);
        EXPECT_TRUE(used == 0 || used == 256) << "colours used " << used;
        EXPECT_TRUE(std::equal(back.begin() + 54, back.begin() + 54 + 1024, b.begin() + 54))
            << "colour table differs from back.bmp's";
        EXPECT_EQ(Get(e.name).width, e.width) << "does not decode";
    }
}

TEST_F(Pictures, PaletteEntriesAreDistinctAndEachLoadsAsItself) {
    const PALETTEENTRY* pal = Screen();
    ASSERT_EQ(Get("back.bmp").colours.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        const int got = winapi::NearestIndex(pal, pal[i].peRed, pal[i].peGreen, pal[i].peBlue);
        EXPECT_EQ(got, i) << "entry " << i << " (" << int{pal[i].peRed} << "," << int{pal[i].peGreen} << ","
                          << int{pal[i].peBlue} << ") loads as entry " << got;
    }
}

TEST_F(Pictures, PaletteHoldsTheExactTextColours) {
    const int colours[][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {0, 0, 0}};
    const PALETTEENTRY* pal = Screen();
    ASSERT_NE(pal, nullptr);
    for (const auto& c : colours) {
        const int i = winapi::NearestIndex(pal, static_cast<uint8_t>(c[0]), static_cast<uint8_t>(c[1]),
                                           static_cast<uint8_t>(c[2]));
        EXPECT_TRUE(pal[i].peRed == c[0] && pal[i].peGreen == c[1] && pal[i].peBlue == c[2])
            << "(" << c[0] << "," << c[1] << "," << c[2] << ") comes out as (" << int{pal[i].peRed} << ","
            << int{pal[i].peGreen} << "," << int{pal[i].peBlue} << ")";
    }
}

TEST_F(Pictures, KeyedPicturesShareOneKeyAndUnkeyedOnesNeverUseIt) {
    const int key = Key(Get("fish1.bmp"));
    ASSERT_GE(key, 0);
    for (const Entry& e : AllFiles()) {
        const DecodedBitmap& b = Get(e.name);
        ASSERT_FALSE(b.indices.empty()) << e.name;
        const size_t keyed = static_cast<size_t>(std::count(b.indices.begin(), b.indices.end(), key));
        if (e.keyed) {
            EXPECT_EQ(Key(b), key) << e.name << ": top-left pixel";
            EXPECT_LT(keyed, b.indices.size()) << e.name << " is all see-through";
        } else {
            EXPECT_EQ(keyed, 0u) << e.name << " is drawn whole but holds " << keyed << " key pixels";
        }
    }
}

// Areas the player must see solid: a key pixel there would show the river through.
TEST_F(Pictures, SolidAreasHoldNoKeyPixel) {
    struct Area {
        const char* name;
        int x, y, w, h;
    };
    const Area areas[] = {
        {"fish1.bmp", 70, 78, 80, 14},     {"fish2.bmp", 70, 78, 80, 14},     // body, tail root to head
        {"opn.bmp", 140, 370, 360, 46},    {"push.bmp", 160, 160, 320, 160},  // prompt panels
        {"en/opn.bmp", 140, 370, 360, 46}, {"en/push.bmp", 160, 160, 320, 160}, {"syougai1.bmp", 17, 17, 4, 4},
        {"syougai0.bmp", 22, 32, 12, 6},   {"syougai2.bmp", 50, 50, 12, 12},    {"syougai4.bmp", 40, 44, 12, 12},
        {"syougai5.bmp", 40, 40, 16, 12},  {"syougai3.bmp", 36, 44, 40, 40},
    };
    for (const Area& a : areas) {
        const DecodedBitmap& b = Get(a.name);
        ASSERT_FALSE(b.indices.empty()) << a.name;
        int holes = 0;
        for (int y = a.y; y < a.y + a.h; ++y)
            for (int x = a.x; x < a.x + a.w; ++x) holes += At(b, x, y) == Key(b);
        EXPECT_EQ(holes, 0) << a.name << ": see-through pixels in (" << a.x << "," << a.y << ") " << a.w << "x" << a.h;
    }
}

TEST_F(Pictures, TitleAndPauseLetTheRiverShowThrough) {
    for (const char* name : {"opn.bmp", "push.bmp", "en/opn.bmp", "en/push.bmp"}) {
        const DecodedBitmap& b = Get(name);
        ASSERT_FALSE(b.indices.empty()) << name;
        const auto see = std::count(b.indices.begin(), b.indices.end(), Key(b));
        const auto share = see * 100 / static_cast<long>(b.indices.size());
        EXPECT_GE(share, 30) << name << ": only " << share << "% see-through";
        EXPECT_LE(share, 90) << name << ": " << share << "% see-through, little to see";
    }
}

TEST_F(Pictures, EnglishFormsSayTheirOwnWords) {
    for (const std::string name : {"opn.bmp", "push.bmp"})
        EXPECT_NE(Get(name).indices, Get("en/" + name).indices) << "en/" << name << " is lettered as " << name;
}

// The river scrolls and wraps: the seam must look like any other column pair.
TEST_F(Pictures, RiverJoinsItsLastColumnToItsFirst) {
    const DecodedBitmap& b = Get("back.bmp");
    ASSERT_EQ(b.width, 640);
    auto differ = [&](int a, int c) {
        long sum = 0;
        for (int y = 0; y < b.height; ++y) {
            const PALETTEENTRY& p = b.colours[static_cast<size_t>(At(b, a, y))];
            const PALETTEENTRY& q = b.colours[static_cast<size_t>(At(b, c, y))];
            sum += std::abs(p.peRed - q.peRed) + std::abs(p.peGreen - q.peGreen) + std::abs(p.peBlue - q.peBlue);
        }
        return sum;
    };
    std::vector<long> inner;
    for (int x = 0; x + 1 < 640; ++x) inner.push_back(differ(x, x + 1));
    std::sort(inner.begin(), inner.end());
    const long seam = differ(639, 0), usual = inner[inner.size() * 9 / 10];
    EXPECT_LE(seam, usual) << "seam " << seam << " against 90th percentile of neighbours " << usual;
    // Wider bands must join as well: the mean colour of 8 columns either side.
    auto band = [&](int from) {
        long sum = 0;
        for (int x = from; x < from + 8; ++x)
            for (int y = 0; y < b.height; ++y) sum += b.colours[static_cast<size_t>(At(b, x, y))].peGreen;
        return sum / 8;
    };
    std::vector<long> steps;
    for (int x = 0; x + 16 <= 640; x += 8) steps.push_back(std::abs(band(x) - band(x + 8)));
    std::sort(steps.begin(), steps.end());
    const long wrapStep = std::abs(band(632) - band(0));
    EXPECT_LE(wrapStep, steps[steps.size() * 9 / 10]) << "band step across the seam " << wrapStep;
}

TEST_F(Pictures, BubbleStripHoldsSevenSeparateFramesAroundTheRestingOne) {
    const DecodedBitmap& b = Get("awa.bmp");
    ASSERT_EQ(b.width, 112);
    ASSERT_EQ(b.height, 16);
    const int key = Key(b);
    auto solid = [&](int f, int x, int y) { return At(b, 16 * f + x, y) != key; };
    for (int f = 0; f < 7; ++f) {
        SCOPED_TRACE("frame " + std::to_string(f));
        int count = 0, covers = 1;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                count += solid(f, x, y);
                // Every frame is drawn over the resting one: it must hide it.
                if (solid(6, x, y) && !solid(f, x, y)) covers = 0;
            }
        EXPECT_GE(count, 30) << "nearly empty";
        EXPECT_EQ(covers, 1) << "the resting bubble peeks out from under it";
        // The frame's border is see-through, so no frame runs into the next.
        for (int i = 0; i < 16; ++i) {
            EXPECT_FALSE(solid(f, i, 0) || solid(f, 0, i)) << "touches its cell's top or left edge at " << i;
        }
        if (f < 6) {
            int changed = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) changed += At(b, 16 * f + x, y) != At(b, 16 * (f + 1) + x, y);
            EXPECT_GE(changed, 8) << "hardly differs from frame " << f + 1;
        }
    }
}

TEST_F(Pictures, SwimFramesDifferAtTheTailAndAgreeAtTheHead) {
    const DecodedBitmap& a = Get("fish1.bmp");
    const DecodedBitmap& b = Get("fish2.bmp");
    ASSERT_FALSE(a.indices.empty() || b.indices.empty());
    int tail = 0, head = 0;
    for (int y = 0; y < 170; ++y)
        for (int x = 0; x < 170; ++x) {
            const bool differ = At(a, x, y) != At(b, x, y);
            if (x < 60) tail += differ;
            if (x >= 130) head += differ;
        }
    EXPECT_GE(tail, 200) << "the tail hardly moves";
    EXPECT_EQ(head, 0) << "the head moves between frames, so the overlays would slip";
}

// Higher overlays lie over lower ones; each must still show when all nine do.
TEST_F(Pictures, EveryMutationStaysVisibleUnderTheOnesAboveIt) {
    std::vector<const DecodedBitmap*> h;
    for (int i = 0; i < 9; ++i) {
        h.push_back(&Get("henge" + std::to_string(i) + ".bmp"));
        ASSERT_FALSE(h.back()->indices.empty()) << i;
    }
    for (int i = 0; i < 9; ++i) {
        int own = 0, shown = 0;
        for (int y = 0; y < 170; ++y)
            for (int x = 0; x < 170; ++x) {
                if (At(*h[i], x, y) == Key(*h[i])) continue;
                ++own;
                bool hidden = false;
                for (int j = i + 1; j < 9 && !hidden; ++j) hidden = At(*h[j], x, y) != Key(*h[j]);
                shown += !hidden;
            }
        EXPECT_GE(own, 120) << "henge" << i << " is too small to notice";
        EXPECT_GE(shown * 100, own * 70) << "henge" << i << ": only " << shown << " of " << own << " pixels show";
    }
}

TEST(PictureGenerator, DrawsTheCommittedFilesAgain) {
    const testsupport::TempFolder scratch("kawauo-bmpgen");
    const std::filesystem::path out = scratch / "drawn";  // the generator makes it
    const std::string command = std::string("\"") + KAWAUO_BMPGEN + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const Entry& e : AllFiles()) {
        const std::vector<uint8_t> fresh = ReadBytes((out / "bmp" / e.name).string());
        const std::vector<uint8_t> committed = ReadBytes(BmpDir() + e.name);
        ASSERT_FALSE(fresh.empty()) << e.name << " not drawn";
        EXPECT_EQ(fresh.size(), committed.size()) << e.name;
        EXPECT_TRUE(fresh == committed) << e.name << " differs from the committed file: run kawauo-bmpgen "
                                        << KAWAUO_SOURCE_DIR;
    }
    // The web page's icons, byte for byte, and no other.
    const std::filesystem::path webIcons = std::filesystem::path(KAWAUO_SOURCE_DIR) / "hosts" / "web" / "icons";
    int webDrawn = 0;
    for (const auto& icon : std::filesystem::directory_iterator(out / "hosts" / "web" / "icons")) {
        const std::string name = icon.path().filename().string();
        EXPECT_TRUE(ReadBytes(icon.path().string()) == ReadBytes((webIcons / name).string()))
            << "hosts/web/icons/" << name << " differs from the drawn icon: run kawauo-bmpgen " << KAWAUO_SOURCE_DIR;
        ++webDrawn;
    }
    EXPECT_EQ(webDrawn, 4);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(webIcons), std::filesystem::directory_iterator()),
              webDrawn)
        << "hosts/web/icons holds icons the generator does not draw";
    // The desktop icons: every size drawn is committed, byte for byte, and no other.
    const std::filesystem::path icons = std::filesystem::path(KAWAUO_SOURCE_DIR) / "data" / "icons";
    int drawn = 0;
    for (const auto& size : std::filesystem::directory_iterator(out / "data" / "icons")) {
        const std::string name = size.path().filename().string() + "/kawauo.png";
        const std::vector<uint8_t> fresh = ReadBytes((size.path() / "kawauo.png").string());
        ASSERT_FALSE(fresh.empty()) << name << " not drawn";
        EXPECT_TRUE(fresh == ReadBytes((icons / name).string()))
            << "data/icons/" << name << " differs from the drawn icon: run kawauo-bmpgen " << KAWAUO_SOURCE_DIR;
        ++drawn;
    }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(icons), std::filesystem::directory_iterator()), drawn)
        << "data/icons holds sizes the generator does not draw";  // The Windows program's icon, made of the drawn
                                                                  // sizes.
    const std::vector<uint8_t> ico = ReadBytes((out / "hosts" / "win32" / "kawauo.ico").string());
    ASSERT_FALSE(ico.empty()) << "hosts/win32/kawauo.ico not drawn";
    EXPECT_TRUE(ico == ReadBytes(std::string(KAWAUO_SOURCE_DIR) + "/hosts/win32/kawauo.ico"))
        << "hosts/win32/kawauo.ico differs from the drawn icon: run kawauo-bmpgen " << KAWAUO_SOURCE_DIR;
    // As Windows reads it: a directory of PNG images, each the size it says.
    const auto at = [&](size_t i, int bytes) {
        uint32_t v = 0;
        for (int b = bytes - 1; b >= 0; --b) v = v << 8 | ico.at(i + static_cast<size_t>(b));
        return v;
    };
    ASSERT_EQ(at(2, 2), 1u);
    const uint32_t count = at(4, 2);
    EXPECT_GE(count, 4u);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * i, offset = at(entry + 12, 4);
        ASSERT_LE(offset + at(entry + 8, 4), ico.size());
        EXPECT_EQ(at(offset, 4), 0x474E5089u) << "image " << i << " is no PNG";
        const uint32_t width = ico.at(entry) == 0 ? 256 : ico.at(entry);
        EXPECT_EQ(at(offset + 16, 1) << 24 | at(offset + 17, 1) << 16 | at(offset + 18, 1) << 8 | at(offset + 19, 1),
                  width)
            << "image " << i;
    }
}

}  // namespace
