// The scrolling river and the bubbles' timed cycle.
#include "display/device.h"
#include "game/assets.h"
#include "game/frame.h"
#include "game/play.h"
#include "game/river.h"
#include "tests/game/game_fixture.h"
#include "winapi/surface_access.h"

namespace {

using RiverTest = GameTest;

TEST_F(RiverTest, ScrollBlitsAtTheSeam) {
    struct Row {
        int32_t s;
        std::vector<std::pair<RECT, RECT>> blits;  // destination, source
        int32_t next;
    };
    const Row rows[] = {
        {0, {{Box(0, 0, 640, 480), Box(0, 0, 640, 480)}, {Box(640, 0, 0, 480), Box(0, 0, 0, 480)}}, 1},
        {1, {{Box(0, 0, 639, 480), Box(1, 0, 639, 480)}, {Box(639, 0, 1, 480), Box(0, 0, 1, 480)}}, 2},
        {320, {{Box(0, 0, 320, 480), Box(320, 0, 320, 480)}, {Box(320, 0, 320, 480), Box(0, 0, 320, 480)}}, 321},
        {639, {{Box(0, 0, 1, 480), Box(639, 0, 1, 480)}, {Box(1, 0, 639, 480), Box(0, 0, 639, 480)}}, 640},
        {640, {{Box(0, 0, 640, 480), Box(0, 0, 640, 480)}}, 1},
    };
    for (const Row& row : rows) {
        g_scrollX = row.s;
        ScrollBackground();
        const std::vector<Blit> blits = Blits(Notes());
        ASSERT_EQ(blits.size(), row.blits.size()) << "s = " << row.s;
        for (size_t i = 0; i < blits.size(); ++i) {
            EXPECT_EQ(blits[i].picture, "back");
            EXPECT_FALSE(blits[i].keyed);
            EXPECT_TRUE(SameRect(blits[i].dest, row.blits[i].first))
                << "s = " << row.s << ", blit " << i << " to " << RectText(blits[i].dest);
            EXPECT_TRUE(SameRect(blits[i].src, row.blits[i].second))
                << "s = " << row.s << ", blit " << i << " from " << RectText(blits[i].src);
        }
        EXPECT_EQ(g_scrollX, row.next) << "after s = " << row.s;
    }
}

// The river's columns on the screen: column c shows picture column (c + s) mod 640.
TEST_F(RiverTest, ScreenColumnsFollowTheScroll) {
    // The test picture is one index, so draw distinct columns straight into it.
    uint8_t* pixels = SurfaceAccess::Pixels(g_picBack);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) pixels[y * 640 + x] = static_cast<uint8_t>((x * 3 + y / 240) & 0xFF);
    SurfaceAccess::Touch(g_picBack);
    for (const int32_t s : {0, 1, 639, 640}) {
        g_scrollX = s;
        ScrollBackground();
        const uint8_t* screen = SurfaceAccess::Pixels(g_back);
        for (int c = 0; c < 640; ++c) {
            for (const int y : {0, 479}) {
                ASSERT_EQ(screen[y * 640 + c], pixels[y * 640 + (c + s) % 640]) << "s = " << s << ", column " << c;
            }
        }
    }
}

class BubbleTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        for (int i = 0; i < kBubbleCount; ++i) {
            g_bubbles[i].x = 20 * i;
            g_bubbles[i].y = 5 + i;
        }
    }
    // The animation frame drawn over bubble i's resting frame at `tick`,
    // or -1 when only the resting frame shows.
    static int32_t FrameOf(int32_t i, uint32_t tick) {
        g_frameTick = static_cast<int32_t>(tick);
        DrawBubbles();
        int32_t frame = -1;
        int blits = 0;
        for (const Blit& blit : Blits(Notes())) {
            if (blit.dest.left != 20 * i) continue;
            EXPECT_EQ(blit.picture, "awa");
            EXPECT_TRUE(blit.keyed);
            EXPECT_TRUE(SameRect(blit.dest, Box(20 * i, 5 + i, 16, 16))) << RectText(blit.dest);
            if (blits++ == 0) {
                EXPECT_TRUE(SameRect(blit.src, Box(96, 0, 16, 16))) << "resting frame first";
            } else {
                frame = blit.src.left / 16;
            }
        }
        EXPECT_GE(blits, 1);
        return frame;
    }
};

TEST_F(BubbleTest, CycleOfTheFirstBubbleFromStartUp) {
    struct Step {
        uint32_t after;  // ms after the first frame
        int32_t frame;
    };
    // Wait over at +1; the animation runs 700 ms from +1, direction 1 first.
    const Step steps[] = {
        {0, -1},  {0, -1},  {1, 6},   {100, 6}, {200, 6},  {201, 5},  {301, 4},
        {600, 2}, {699, 1}, {700, 1}, {701, 0}, {702, -1}, {703, -1}, {704, 0},
    };
    const uint32_t start = 50000;
    for (const Step& step : steps) EXPECT_EQ(FrameOf(0, start + step.after), step.frame) << "+" << step.after;
    EXPECT_EQ(g_bubbles[0].direction, 0) << "the second cycle runs upwards";
    const Step second[] = {{804, 1}, {1104, 4}, {1403, 6}, {1404, 6}, {1405, -1}};
    for (const Step& step : second) EXPECT_EQ(FrameOf(0, start + step.after), step.frame) << "+" << step.after;
    EXPECT_EQ(g_bubbles[0].direction, 1);
}

TEST_F(BubbleTest, FramesAtTheEndOfTheAnimation) {
    struct Row {
        int32_t direction;
        uint32_t elapsed;
        int32_t frame;
    };
    const Row rows[] = {
        {1, 0, 6}, {1, 199, 6}, {1, 200, 5}, {1, 699, 1}, {1, 700, 0},  {1, 701, -1},
        {0, 0, 0}, {0, 100, 1}, {0, 699, 6}, {0, 700, 6}, {0, 701, -1},
    };
    for (const Row& row : rows) {
        BubbleSprite& bubble = g_bubbles[0];
        bubble = BubbleSprite{0, 5, 0, 0, row.direction, 1000, 1000, 5000, 5000};
        EXPECT_EQ(FrameOf(0, 5000 + row.elapsed), row.frame)
            << "direction " << row.direction << ", e = " << row.elapsed;
        EXPECT_EQ(bubble.direction, row.elapsed > 700 ? 1 - row.direction : row.direction);
        EXPECT_EQ(bubble.waitPending, row.elapsed > 700 ? 1 : 0);
        EXPECT_EQ(bubble.animPending, row.elapsed > 700 ? 1 : 0);
    }
}

TEST_F(BubbleTest, EachBubbleWaitsItsDelay) {
    for (int32_t i = 0; i < kBubbleCount; ++i) {
        const uint32_t delay = static_cast<uint32_t>((i * 200) % 2000);
        g_bubbles[i].waitPending = 1;
        g_bubbles[i].animPending = 1;
        EXPECT_EQ(FrameOf(i, 10000), -1) << "bubble " << i << " starts waiting";
        EXPECT_EQ(FrameOf(i, 10000 + delay), -1) << "bubble " << i << " at its delay " << delay;
        EXPECT_NE(FrameOf(i, 10000 + delay + 1), -1) << "bubble " << i << " one past its delay";
    }
}

TEST_F(BubbleTest, TimingSurvivesTheTickWrapping) {
    struct Step {
        uint32_t tick;
        int32_t frame;
    };
    // Bubble 1 waits 200 ms from 0xFFFFFF80, animates from 200 ms later.
    const Step steps[] = {
        {0xFFFFFF80u, -1},      {0xFFFFFFF0u, -1},      {0x00000048u, -1},       {0x00000049u, 6},
        {0x00000049u + 250, 5}, {0x00000049u + 700, 0}, {0x00000049u + 701, -1},
    };
    g_bubbles[1].waitPending = 1;
    g_bubbles[1].animPending = 1;
    g_bubbles[1].direction = 1;
    for (const Step& step : steps) EXPECT_EQ(FrameOf(1, step.tick), step.frame) << "tick " << step.tick;
}

TEST_F(BubbleTest, RiverAndBubblesRunInEveryScene) {
    for (const int32_t scene : {kSceneTitle, kScenePlay, kSceneResult}) {
        g_scene = scene;
        g_paused = 1;  // the play scene shows the pause
        const int32_t scroll = g_scrollX;
        Frame(kStartMs);
        const std::vector<std::string> names = PictureNames(Notes());
        ASSERT_GE(names.size(), 22u);
        EXPECT_EQ(names.front(), "back") << "scene " << scene;
        EXPECT_EQ(names.back(), "awa") << "scene " << scene;
        EXPECT_EQ(g_scrollX, scroll % 640 + 1) << "scene " << scene;
        if (scene == kScenePlay) {
            EXPECT_EQ(g_paused, 1);
            g_paused = 0;
        }
        g_scene = kSceneTitle;
    }
}

}  // namespace
