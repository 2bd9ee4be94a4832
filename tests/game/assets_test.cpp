// Loading the 33 pictures, the start-up values, and releasing them.
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "display/device.h"
#include "display/registry.h"
#include "game/assets.h"
#include "game/drift.h"
#include "game/frame.h"
#include "game/river.h"
#include "tests/game/game_fixture.h"

namespace {

// Registration order, holder by holder.
struct Entry {
    const char* file;
    IDirectDrawSurface** holder;
};
// clang-format off
const Entry kCatalogue[] = {
    {"bmp\\back.bmp", &g_picBack},           {"bmp\\back2.bmp", &g_picBack2},
    {"bmp\\back3.bmp", &g_picBack3},         {"bmp\\push.bmp", &g_picPush},
    {"bmp\\awa.bmp", &g_picAwa},             {"bmp\\opn.bmp", &g_picOpn},
    {"bmp\\fish1.bmp", &g_picFish1},         {"bmp\\fish2.bmp", &g_picFish2},
    {"bmp\\fisht.bmp", &g_picFishT},         {"bmp\\sokodikara1.bmp", &g_picMove[1][0]},
    {"bmp\\sokodikara2.bmp", &g_picMove[1][1]}, {"bmp\\sokodikara3.bmp", &g_picMove[1][2]},
    {"bmp\\tomogui1.bmp", &g_picMove[2][0]}, {"bmp\\tomogui2.bmp", &g_picMove[2][1]},
    {"bmp\\tomogui3.bmp", &g_picMove[2][2]}, {"bmp\\fait1.bmp", &g_picMove[0][0]},
    {"bmp\\fait2.bmp", &g_picMove[0][1]},    {"bmp\\fait3.bmp", &g_picMove[0][2]},
    {"bmp\\henge0.bmp", &g_picHenge[0]},     {"bmp\\henge1.bmp", &g_picHenge[1]},
    {"bmp\\henge2.bmp", &g_picHenge[2]},     {"bmp\\henge3.bmp", &g_picHenge[3]},
    {"bmp\\henge4.bmp", &g_picHenge[4]},     {"bmp\\henge5.bmp", &g_picHenge[5]},
    {"bmp\\henge6.bmp", &g_picHenge[6]},     {"bmp\\henge7.bmp", &g_picHenge[7]},
    {"bmp\\henge8.bmp", &g_picHenge[8]},     {"bmp\\syougai1.bmp", &g_picSyougai[0]},
    {"bmp\\syougai0.bmp", &g_picSyougai[1]}, {"bmp\\syougai2.bmp", &g_picSyougai[2]},
    {"bmp\\syougai4.bmp", &g_picSyougai[3]}, {"bmp\\syougai5.bmp", &g_picSyougai[4]},
    {"bmp\\syougai3.bmp", &g_picSyougai[5]},
};
// clang-format on

class AssetsTest : public GameTest {
protected:
    // LoadAssets again, from a clean registry.
    static void Reload() {
        ReleaseAssets();
        g_surfaceCount = 0;
        for (IDirectDrawSurface*& surface : g_surfaces) surface = nullptr;
        LoadAssets();
    }
};

TEST_F(AssetsTest, RegistersTheCatalogueInOrder) {
    ASSERT_EQ(g_surfaceCount, 33);
    for (int i = 0; i < 33; ++i) {
        EXPECT_STREQ(g_surfaceNames[i], kCatalogue[i].file) << "picture " << i + 1;
        EXPECT_EQ(g_surfaces[i], *kCatalogue[i].holder) << "holder of " << kCatalogue[i].file;
        EXPECT_NE(*kCatalogue[i].holder, nullptr) << kCatalogue[i].file;
    }
    EXPECT_STREQ(g_paletteFile, "bmp\\back.bmp");
    EXPECT_EQ(g_palette[200].peRed, 200) << "the palette is back.bmp's colour table";
    EXPECT_EQ(g_palette[200].peGreen, 55);
}

TEST_F(AssetsTest, StartUpValues) {
    const int32_t sizes[kDriftSlots] = {38, 60, 113, 113, 113, 113};
    for (int i = 0; i < kDriftSlots; ++i) EXPECT_EQ(g_drift[i].size, sizes[i]) << "slot " << i;
    Lcg model{kCalendarSeconds};
    for (int i = 0; i < kBubbleCount; ++i) {
        const BubbleSprite& bubble = g_bubbles[i];
        EXPECT_EQ(bubble.x, model.Next() % 624) << "bubble " << i;
        EXPECT_EQ(bubble.y, model.Next() % 464) << "bubble " << i;
        EXPECT_GE(bubble.x, 0);
        EXPECT_LE(bubble.x, 623);
        EXPECT_GE(bubble.y, 0);
        EXPECT_LE(bubble.y, 463);
        EXPECT_EQ(bubble.waitPending, 1);
        EXPECT_EQ(bubble.animPending, 1);
        EXPECT_EQ(bubble.direction, 1);
    }
    EXPECT_EQ(g_scene, kSceneTitle);
    EXPECT_EQ(g_keyLatch, 0);
}

TEST_F(AssetsTest, TheSameSecondGivesTheSameNumbers) {
    g_keyLatch = 1;
    g_scene = kSceneResult;
    BubbleSprite before[kBubbleCount];
    std::memcpy(before, g_bubbles, sizeof before);
    Reload();
    for (int i = 0; i < kBubbleCount; ++i) {
        EXPECT_EQ(g_bubbles[i].x, before[i].x) << "bubble " << i;
        EXPECT_EQ(g_bubbles[i].y, before[i].y) << "bubble " << i;
    }
    EXPECT_EQ(g_scene, kSceneTitle);
    EXPECT_EQ(g_keyLatch, 0);
    headless::SetCalendarSeconds(kCalendarSeconds + 1);
    Reload();
    int same = 0;
    for (int i = 0; i < kBubbleCount; ++i) same += g_bubbles[i].x == before[i].x ? 1 : 0;
    EXPECT_LT(same, kBubbleCount) << "another second, other places";
}

TEST_F(AssetsTest, AMissingPictureIsReportedOnceAndTheRestStillLoad) {
    ASSERT_EQ(std::rename("bmp/henge4.bmp", "bmp/henge4.hidden"), 0);
    Reload();
    ASSERT_EQ(std::rename("bmp/henge4.hidden", "bmp/henge4.bmp"), 0);
    EXPECT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(g_surfaceCount, 32);
    EXPECT_EQ(g_picHenge[4], nullptr);
    EXPECT_NE(g_picHenge[5], nullptr) << "loading went on";
    EXPECT_NE(g_picSyougai[5], nullptr);
    EXPECT_EQ(g_fatalLoadError, 1);
    EXPECT_EQ(g_drift[5].size, 113) << "the start-up values are still set";
    EXPECT_EQ(g_scene, kSceneTitle);
    g_fatalLoadError = 0;
}

TEST_F(AssetsTest, ReleaseEmptiesEveryHolder) {
    ReleaseAssets();
    for (const Entry& entry : kCatalogue) EXPECT_EQ(*entry.holder, nullptr) << entry.file;
    ReleaseAssets();  // empty holders are skipped
    for (const Entry& entry : kCatalogue) EXPECT_EQ(*entry.holder, nullptr) << entry.file;
}

}  // namespace
