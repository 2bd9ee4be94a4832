// The random generator, the wrapping arithmetic, the key tests, the scene
// cycle and the new-game reset.
#include <climits>

#include "display/device.h"
#include "game/assets.h"
#include "game/drift.h"
#include "game/fish.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/play.h"
#include "game/random.h"
#include "game/river.h"
#include "game/thought.h"
#include "tests/game/game_fixture.h"

namespace {

TEST(RandomTest, FollowsTheRuntimeSequenceForKnownSeeds) {
    struct Row {
        uint32_t seed;
        std::vector<int32_t> expected;
    };
    const Row rows[] = {
        {1, {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}},
        {0, {38, 7719, 21238, 2437, 8855, 11797, 8365, 32285}},
        {0xFFFFFFFFu, {35, 29739, 3374}},  // the state wraps on the first step
    };
    for (const Row& row : rows) {
        SeedRandom(row.seed);
        for (size_t i = 0; i < row.expected.size(); ++i)
            EXPECT_EQ(Random(), row.expected[i]) << "seed " << row.seed << ", draw " << i;
    }
}

TEST(RandomTest, StaysWithinFifteenBitsAndMatchesTheModel) {
    SeedRandom(987654321u);
    Lcg model{987654321u};
    for (int i = 0; i < 100000; ++i) {
        const int32_t value = Random();
        ASSERT_EQ(value, model.Next()) << "draw " << i;
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST(WrapTest, SumsWrapAtThirtyTwoBits) {
    struct Row {
        int64_t value;
        int32_t expected;
    };
    const Row rows[] = {
        {int64_t{INT32_MAX} + 1, INT32_MIN},
        {int64_t{INT32_MIN} - 1, INT32_MAX},
        {int64_t{INT32_MAX} * 3, INT32_MAX - 2},
        {-5, -5},
        {4294967296LL + 7, 7},
    };
    for (const Row& row : rows) EXPECT_EQ(Wrap32(row.value), row.expected) << "value " << row.value;
}

TEST(WrapTest, TicksSinceIsTheWrappingDifference) {
    struct Row {
        int32_t now;
        int32_t last;
        int32_t expected;
    };
    const Row rows[] = {
        {1100, 1000, 100},
        {1000, 1100, -100},
        {INT32_MIN + 5, INT32_MAX - 4, 10},  // the tick wrapped past 2^31
        {4, -6, 10},                         // and past 2^32
        {0, INT32_MIN, INT32_MIN},
    };
    for (const Row& row : rows) {
        g_frameTick = row.now;
        EXPECT_EQ(TicksSince(row.last), row.expected) << "now " << row.now << ", last " << row.last;
    }
}

using KeyTest = GameTest;

TEST_F(KeyTest, HeldExactlyWhileDownWhateverTheToggleBit) {
    const int keys[] = {VK_SPACE, VK_TAB, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_F1, VK_F2, VK_F3};
    for (int key : keys) {
        EXPECT_FALSE(KeyHeld(key)) << "key " << key << " before any press";
        for (int press = 0; press < 2; ++press) {  // the second press has the toggle bit the other way
            Hold(key);
            EXPECT_TRUE(KeyHeld(key)) << "key " << key << " down, press " << press;
            Lift(key);
            EXPECT_FALSE(KeyHeld(key)) << "key " << key << " up, press " << press;
        }
    }
}

TEST_F(KeyTest, KeyStateChangesOnlyWhenTheMessageIsTaken) {
    headless::KeyDown(VK_SPACE);
    EXPECT_FALSE(KeyHeld(VK_SPACE));
    Pump();
    EXPECT_TRUE(KeyHeld(VK_SPACE));
}

TEST_F(KeyTest, TriggerFiresOnceAtTheFirstReadingWithTheKeyUp) {
    int32_t latch = 0;
    EXPECT_FALSE(KeyReleased(VK_TAB, &latch));
    EXPECT_EQ(latch, 0);
    Hold(VK_TAB);
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(KeyReleased(VK_TAB, &latch)) << "held, frame " << frame;
        EXPECT_EQ(latch, 1);
    }
    Lift(VK_TAB);
    EXPECT_TRUE(KeyReleased(VK_TAB, &latch));
    EXPECT_EQ(latch, 0);
    EXPECT_FALSE(KeyReleased(VK_TAB, &latch));
}

TEST_F(KeyTest, UnarmedTriggerKeepsItsLatchUntilArmed) {
    int32_t latch = 0;
    Hold(VK_F1);
    EXPECT_FALSE(KeyReleased(VK_F1, &latch, false));
    Lift(VK_F1);
    EXPECT_FALSE(KeyReleased(VK_F1, &latch, false));
    EXPECT_EQ(latch, 1);
    EXPECT_TRUE(KeyReleased(VK_F1, &latch, true));
    EXPECT_EQ(latch, 0);
}

using SceneTest = GameTest;

TEST_F(SceneTest, FrameTakesTheTickAsASignedValue) {
    Frame(0x80000005u);
    EXPECT_EQ(g_frameTick, static_cast<int32_t>(0x80000005u));
    Frame(77);
    EXPECT_EQ(g_frameTick, 77);
}

TEST_F(SceneTest, FrameDrawsRiverThenSceneThenBubblesThenFlips) {
    Frame(kStartMs);
    const std::vector<winapi::DrawNote> notes = Notes();
    const std::vector<std::string> names = PictureNames(notes);
    ASSERT_EQ(names.size(), 2u + 1u + 20u) << "two river blits, the title and one resting frame a bubble";
    EXPECT_EQ(names[0], "back");
    EXPECT_EQ(names[1], "back");
    EXPECT_EQ(names[2], "opn");
    for (size_t i = 3; i < names.size(); ++i) EXPECT_EQ(names[i], "awa") << "blit " << i;
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.back().kind, winapi::DrawNote::kFlip);
    EXPECT_EQ(headless::FramesShown(), 1);
}

TEST_F(SceneTest, TitleShowsItsPictureWholeAndKeyed) {
    SceneTitle();
    const std::vector<Blit> blits = Blits(Notes());
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].picture, "opn");
    EXPECT_TRUE(blits[0].keyed);
    EXPECT_TRUE(SameRect(blits[0].dest, Box(0, 0, 640, 480))) << RectText(blits[0].dest);
    EXPECT_TRUE(SameRect(blits[0].src, Box(0, 0, 640, 480))) << RectText(blits[0].src);
}

// The whole cycle on SPACE and TAB, frame by frame.
TEST_F(SceneTest, CycleRunsTitleNewGamePlayResultTitle) {
    uint32_t t = kStartMs;
    Frame(t += 16);
    EXPECT_EQ(g_scene, kSceneTitle);
    Hold(VK_SPACE);
    Frame(t += 16);
    Frame(t += 16);
    EXPECT_EQ(g_scene, kSceneTitle) << "holding SPACE does not start a run";
    Lift(VK_SPACE);
    Notes();
    Frame(t += 16);
    EXPECT_EQ(g_scene, kSceneNewGame);
    EXPECT_TRUE(Drew(Notes(), "opn")) << "the frame that fires still shows the title";
    EXPECT_EQ(g_keyLatch, 0);

    Frame(t += 16);
    EXPECT_EQ(g_scene, kScenePlay) << "the new game lasts one frame";
    const std::vector<winapi::DrawNote> newGame = Notes();
    for (const std::string& name : PictureNames(newGame))
        EXPECT_TRUE(name == "back" || name == "awa") << "new game drew " << name;
    EXPECT_TRUE(Texts(newGame).empty());

    Frame(t += 16);
    EXPECT_EQ(g_scene, kScenePlay);
    EXPECT_TRUE(Drew(Notes(), "fish1")) << "the first play frame follows";
    Hold(VK_TAB);
    Frame(t += 16);
    EXPECT_EQ(g_scene, kScenePlay) << "holding TAB keeps the run";
    Lift(VK_TAB);
    Frame(t += 16);
    EXPECT_EQ(g_scene, kSceneResult);
    EXPECT_EQ(g_keyLatch, 0);

    Frame(t += 16);
    EXPECT_EQ(g_scene, kSceneResult);
    Hold(VK_SPACE);
    Frame(t += 16);
    EXPECT_EQ(g_scene, kSceneResult) << "holding SPACE keeps the result";
    Lift(VK_SPACE);
    Frame(t += 16);
    EXPECT_EQ(g_scene, kSceneTitle);
    Frame(t += 16);
    Frame(t += 16);
    EXPECT_EQ(g_scene, kSceneTitle) << "the result's SPACE does not start the next run";
}

TEST_F(SceneTest, NewGameResetsTheRun) {
    for (SpecialMove& move : g_specialMoves) move = SpecialMove{1, 1, 2, 4444};
    for (int32_t& flag : g_mutation) flag = 1;
    for (int32_t& flag : g_objectActive) flag = 1;
    g_objectInFlight = 1;
    g_paused = 1;
    g_pollution = 3;
    g_fish = FishState{-1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12, -13, -14, -15, -16};
    headless::SetMilliseconds(kStartMs + 5);
    g_frameTick = static_cast<int32_t>(kStartMs);  // the fresh clock reading is what counts
    EXPECT_EQ(SceneNewGame(), kScenePlay);

    const int32_t now = static_cast<int32_t>(kStartMs + 5);
    for (const SpecialMove& move : g_specialMoves) {
        EXPECT_EQ(move.keyLatch, 0);
        EXPECT_EQ(move.active, 0);
        EXPECT_EQ(move.phase, 0);
        EXPECT_EQ(move.phaseTick, 4444) << "the phase tick carries over";
    }
    for (int i = 0; i < kMutationCount; ++i) EXPECT_EQ(g_mutation[i], 0) << "mutation " << i;
    for (int i = 0; i < kDriftSlots; ++i) EXPECT_EQ(g_objectActive[i], 0) << "slot " << i;
    EXPECT_EQ(g_objectInFlight, 0);
    EXPECT_EQ(g_paused, 0);
    EXPECT_EQ(g_pollution, 1000);
    const FishState& f = g_fish;
    const int32_t actual[] = {f.hp,         f.strength,  f.animFrame,  f.distanceTick, f.animTick, f.moveTick,
                              f.x,          f.xStep,     f.hitOffsetX, f.hitWidth,     f.y,        f.yStep,
                              f.hitOffsetY, f.hitHeight, f.distance,   f.mutationCount};
    const int32_t expected[] = {5000, 900, 1, now, now, now, 1, 10, 0, 170, 310, 10, 0, 170, 0, 0};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(actual[i], expected[i]) << "fish field " << i + 1;
    EXPECT_EQ(g_thoughtTick, now);
}

TEST_F(SceneTest, NewGameKeepsWhatCarriesOver) {
    g_pollutionTick = 123;
    g_drainTick = 456;
    g_pauseLatch = 1;
    g_keyLatch = 1;
    g_drift[3] = DriftObject{-700, 11, 99, 250, 10, 40, 113};
    g_scrollX = 77;
    const BubbleSprite bubble = g_bubbles[4];
    SceneNewGame();
    EXPECT_EQ(g_pollutionTick, 123);
    EXPECT_EQ(g_drainTick, 456);
    EXPECT_EQ(g_pauseLatch, 1);
    EXPECT_EQ(g_keyLatch, 1);
    EXPECT_EQ(g_drift[3].value, -700);
    EXPECT_EQ(g_drift[3].x, 250);
    EXPECT_EQ(g_drift[3].moveInterval, 99);
    EXPECT_EQ(g_scrollX, 77);
    EXPECT_EQ(g_bubbles[4].x, bubble.x);
    EXPECT_EQ(g_bubbles[4].y, bubble.y);
}

TEST_F(SceneTest, NewGameDrawsExactlyOneRandomNumber) {
    for (uint32_t seed : {1u, 2u, 99u, 123456u}) {
        SeedRandom(seed);
        Lcg model{seed};
        SceneNewGame();
        EXPECT_EQ(g_thought, model.Next() % 10) << "seed " << seed;
        EXPECT_EQ(Random(), model.Next()) << "seed " << seed << ": the next draw is the second of the sequence";
    }
}

}  // namespace
