// Floating objects: spawning, slots, steps, leaving and the hit test.
#include "game/drift.h"
#include "game/frame.h"
#include "game/random.h"
#include "game/texts.h"
#include "tests/game/game_fixture.h"

namespace {

class DriftTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        NewGame(kStartMs);
        Quiet(kStartMs);
        g_objectInFlight = 0;
        g_fish.x = 0;
        g_fish.y = 0;
        Notes();
    }
    // An object in flight in `slot`, as a spawn leaves it; the only one.
    static void Launch(int32_t slot, int32_t x, int32_t y, int32_t value = -100) {
        for (int32_t& flag : g_objectActive) flag = 0;
        g_objectActive[slot] = 1;
        g_objectInFlight = 1;
        DriftObject& object = g_drift[slot];
        object.value = value;
        object.moveTick = g_frameTick;
        object.moveInterval = 100;
        object.x = x;
        object.step = 10;
        object.y = y;
    }
};

TEST_F(DriftTest, SizesComeFromStartUp) {
    const int32_t sizes[kDriftSlots] = {38, 60, 113, 113, 113, 113};
    for (int i = 0; i < kDriftSlots; ++i) EXPECT_EQ(g_drift[i].size, sizes[i]) << "slot " << i;
}

TEST_F(DriftTest, NothingSpawnsWhileAnObjectIsInFlight) {
    const uint32_t seed = FindSeed([](Lcg& lcg) { return lcg.Next() % 30 == 1; });
    g_objectInFlight = 1;
    SeedRandom(seed);
    UpdateDriftObjects();
    for (int i = 0; i < kDriftSlots; ++i) EXPECT_EQ(g_objectActive[i], 0) << "slot " << i;
    Lcg model{seed};
    EXPECT_EQ(Random(), model.Next()) << "no number is drawn";
}

TEST_F(DriftTest, OneChanceInThirtyDrawsOneNumber) {
    for (uint32_t seed = 0; seed < 200; ++seed) {
        for (int32_t& flag : g_objectActive) flag = 0;
        g_objectInFlight = 0;
        SeedRandom(seed);
        Lcg model{seed};
        UpdateDriftObjects();
        const bool spawned = model.Next() % 30 == 1;
        EXPECT_EQ(g_objectInFlight, spawned ? 1 : 0) << "seed " << seed;
        if (!spawned) {
            EXPECT_EQ(Random(), model.Next()) << "one draw for a failed chance, seed " << seed;
        }
    }
}

TEST_F(DriftTest, ValueChoosesTheSlotAtEachBound) {
    struct Row {
        int32_t value;
        int32_t slot;
    };
    const Row rows[] = {
        {-2000, 5}, {-1500, 5}, {-1499, 4}, {-1000, 4}, {-999, 3}, {-500, 3},
        {-499, 2},  {0, 2},     {1, 1},     {500, 1},   {501, 0},  {999, 0},
    };
    const int32_t ranges[kDriftSlots] = {442, 420, 367, 367, 367, 367};  // 480 - size
    for (const Row& row : rows) {
        const uint32_t seed =
            FindSeed([&](Lcg& lcg) { return lcg.Next() % 30 == 1 && lcg.Next() % 3000 - 2000 == row.value; });
        for (int32_t& flag : g_objectActive) flag = 0;
        g_objectInFlight = 0;
        SetClock(kStartMs);
        headless::SetMilliseconds(kStartMs + 3);  // the launch tick is a fresh reading
        SeedRandom(seed);
        UpdateDriftObjects();
        for (int i = 0; i < kDriftSlots; ++i)
            EXPECT_EQ(g_objectActive[i], i == row.slot ? 1 : 0) << "value " << row.value << ", slot " << i;
        const DriftObject& object = g_drift[row.slot];
        Lcg model{seed};
        model.Next();
        model.Next();
        EXPECT_EQ(object.value, row.value);
        EXPECT_EQ(object.step, 10);
        EXPECT_EQ(object.x, 640 - object.size) << "value " << row.value;
        EXPECT_EQ(object.y, model.Next() % ranges[row.slot]) << "value " << row.value;
        EXPECT_EQ(object.moveTick, static_cast<int32_t>(kStartMs + 3));
        EXPECT_EQ(object.moveInterval, model.Next() % 100 + 50) << "value " << row.value;
        EXPECT_EQ(g_objectInFlight, 1);
    }
}

TEST_F(DriftTest, SpawnedObjectIsDrawnInItsFirstFrame) {
    const uint32_t seed = FindSeed([](Lcg& lcg) { return lcg.Next() % 30 == 1 && lcg.Next() % 3000 == 2600; });
    SeedRandom(seed);
    UpdateDriftObjects();
    const std::vector<winapi::DrawNote> notes = Notes();
    const std::vector<Blit> blits = Blits(notes);
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].picture, "syougai1");
    EXPECT_TRUE(blits[0].keyed);
    EXPECT_TRUE(SameRect(blits[0].dest, Box(602, g_drift[0].y, 38, 38))) << RectText(blits[0].dest);
    EXPECT_TRUE(SameRect(blits[0].src, Box(0, 0, 38, 38)));
    const std::vector<winapi::TextNote> texts = Texts(notes);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, Fill(kTextDriftValue, {"600"}));
    EXPECT_EQ(texts[0].x, 602);
    EXPECT_EQ(texts[0].y, g_drift[0].y);
    EXPECT_EQ(texts[0].colour, 0x00FF00FFu);
    EXPECT_EQ(texts[1].text, Utf8(kTextDriftWarning));
    EXPECT_EQ(texts[1].x, 300);
    EXPECT_EQ(texts[1].y, 300);
    EXPECT_EQ(texts[1].colour, 0x00FFFF00u);
}

TEST_F(DriftTest, StepsOnItsTickAtMostOncePerCall) {
    struct Row {
        int32_t after;
        int32_t x;
    };
    const Row rows[] = {{99, 400}, {100, 390}, {101, 390}, {60000, 390}, {-5, 400}};
    for (const Row& row : rows) {
        Launch(2, 400, 300);
        g_drift[2].moveTick = static_cast<int32_t>(kStartMs);
        g_frameTick = static_cast<int32_t>(kStartMs) + row.after;
        UpdateDriftObjects();
        EXPECT_EQ(g_drift[2].x, row.x) << row.after << " ms after the last step";
        EXPECT_EQ(g_drift[2].moveTick, row.x != 400 ? g_frameTick : static_cast<int32_t>(kStartMs));
    }
}

TEST_F(DriftTest, StepsAcrossTheTickWrap) {
    Launch(2, 400, 300);
    g_drift[2].moveTick = INT32_MAX - 50;
    g_frameTick = INT32_MIN + 49;  // 100 ms later
    UpdateDriftObjects();
    EXPECT_EQ(g_drift[2].x, 390);
}

TEST_F(DriftTest, LeavesWhenItsRightEdgeReachesZeroAndIsStillDrawn) {
    g_fish.y = 300;  // no overlap on the y axis
    struct Row {
        int32_t slot;
        int32_t xBefore;
        bool leaves;
    };
    const Row rows[] = {{0, -28, true}, {0, -27, false}, {2, -103, true}, {2, -102, false}};
    for (const Row& row : rows) {
        Launch(row.slot, row.xBefore, 0);
        g_drift[row.slot].moveTick = g_frameTick - 100;
        Notes();
        UpdateDriftObjects();
        const int32_t x = row.xBefore - 10;
        EXPECT_EQ(g_objectActive[row.slot], row.leaves ? 0 : 1) << "slot " << row.slot << " at x " << x;
        EXPECT_EQ(g_objectInFlight, row.leaves ? 0 : 1) << "slot " << row.slot << " at x " << x;
        const std::vector<winapi::DrawNote> notes = Notes();
        const std::vector<Blit> blits = Blits(notes);
        ASSERT_EQ(blits.size(), 1u);
        const int32_t size = g_drift[row.slot].size;
        EXPECT_TRUE(SameRect(blits[0].dest, Box(x, 0, size, size))) << RectText(blits[0].dest);
        const std::vector<winapi::TextNote> texts = Texts(notes);
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].x, x);
        EXPECT_EQ(texts[0].text, Fill(kTextDriftValue, {"-100"}));
    }
}

// The fish's box runs from (x, y) to (x + 170, y + 170), all edges included.
TEST_F(DriftTest, HitTestCountsTouchingEdges) {
    struct Row {
        const char* name;
        int32_t x, y;  // of a 38-pixel object; the fish stands at (100, 100)
        bool hit;
    };
    const Row rows[] = {
        {"left edge on the box's right edge", 270, 150, true},
        {"one past the right edge", 271, 150, false},
        {"right edge on the box's left edge", 62, 150, true},
        {"right edge one short", 61, 150, false},
        {"top on the box's bottom", 150, 270, true},
        {"top one below", 150, 271, false},
        {"bottom on the box's top", 150, 62, true},
        {"bottom one above", 150, 61, false},
        {"inside", 150, 150, true},
        {"corner to corner", 270, 270, true},
        {"overlap on x only", 150, 400, false},
    };
    for (const Row& row : rows) {
        g_fish.x = 100;
        g_fish.y = 100;
        g_fish.hp = 5000;
        Launch(0, row.x + 10, row.y, 700);
        g_drift[0].moveTick = g_frameTick - 100;  // one step left, to row.x
        Notes();
        UpdateDriftObjects();
        EXPECT_EQ(g_fish.hp, row.hit ? 5700 : 5000) << row.name;
        EXPECT_EQ(g_objectActive[0], row.hit ? 0 : 1) << row.name;
        EXPECT_EQ(g_objectInFlight, row.hit ? 0 : 1) << row.name;
        EXPECT_EQ(Drew(Notes(), "back3"), row.hit) << row.name;
    }
}

TEST_F(DriftTest, OnlyTheObjectsEdgesCount) {
    // A narrow box the object spans without either edge inside it.
    g_fish.x = 100;
    g_fish.y = 100;
    g_fish.hitOffsetX = 40;
    g_fish.hitWidth = 60;
    Launch(2, 90, 120);
    g_drift[2].moveTick = g_frameTick;
    UpdateDriftObjects();
    EXPECT_EQ(g_objectActive[2], 1) << "an object spanning the box on x misses";
    g_fish.hitWidth = 203;  // the box's right edge now meets the object's at 203
    UpdateDriftObjects();
    EXPECT_EQ(g_objectActive[2], 0);
}

TEST_F(DriftTest, HitFlashesAndAddsTheValue) {
    struct Row {
        int32_t value;
        int32_t hpBefore;
        int32_t hpAfter;
    };
    const Row rows[] = {
        {0, 5000, 5000},
        {-2000, 100, -1900},
        {999, 5000, 5999},
        {-1500, INT32_MIN + 10, INT32_MAX - 1489},  // wraps rather than overflowing
    };
    for (const Row& row : rows) {
        g_fish.hp = row.hpBefore;
        Launch(1, 50, 50, row.value);
        Notes();
        UpdateDriftObjects();
        EXPECT_EQ(g_fish.hp, row.hpAfter) << "value " << row.value;
        const std::vector<Blit> blits = Blits(Notes());
        ASSERT_EQ(blits.size(), 2u) << "value " << row.value;
        EXPECT_EQ(blits[1].picture, "back3");
        EXPECT_FALSE(blits[1].keyed);
        EXPECT_TRUE(SameRect(blits[1].dest, Box(0, 0, 640, 480)));
        EXPECT_TRUE(SameRect(blits[1].src, Box(0, 0, 640, 480)));
        EXPECT_EQ(g_objectInFlight, 0);
    }
}

TEST_F(DriftTest, LeavingObjectStillHitsTheFishAtTheLeftEdge) {
    g_fish.x = 0;
    g_fish.y = 0;
    g_fish.hp = 5000;
    Launch(0, -28, 10, 600);
    g_drift[0].moveTick = g_frameTick - 100;
    UpdateDriftObjects();
    EXPECT_EQ(g_drift[0].x, -38);
    EXPECT_EQ(g_fish.hp, 5600) << "the hit counts on the frame it leaves";
    EXPECT_EQ(g_objectActive[0], 0);
}

TEST_F(DriftTest, ANewObjectCanComeOnTheNextCallAfterOneLeaves) {
    Launch(0, -28, 300, 600);
    g_drift[0].moveTick = g_frameTick - 100;
    const uint32_t seed = FindSeed([](Lcg& lcg) { return lcg.Next() % 30 == 1; });
    SeedRandom(seed);
    UpdateDriftObjects();
    EXPECT_EQ(g_objectInFlight, 0) << "the spawn try came before the pass";
    Lcg model{seed};
    EXPECT_EQ(Random(), model.Next()) << "so no draw was made while it was in flight";
}

}  // namespace
