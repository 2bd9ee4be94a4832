// The play scene: timers, movement, pause, HP drain, pollution, HUD, the
// move keys and the end of a run.
#include <climits>

#include "game/drift.h"
#include "game/fish.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/play.h"
#include "game/random.h"
#include "game/texts.h"
#include "tests/game/game_fixture.h"

namespace {

class PlayTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        NewGame(kStartMs);
        Quiet(kStartMs);
        g_fish.x = 100;
        g_fish.y = 100;
        Notes();
    }
};

enum class TimerKind { kMovement, kDistance, kPollution, kDrain };

struct TimerRow {
    const char* name;
    TimerKind kind;
    int32_t interval;
    bool strict;
};

const TimerRow kTimers[] = {
    {"movement", TimerKind::kMovement, 30, false},
    {"distance", TimerKind::kDistance, 100, true},
    {"pollution", TimerKind::kPollution, 1000, true},
    {"drain", TimerKind::kDrain, 500, true},
};

int32_t* LastTick(TimerKind kind) {
    switch (kind) {
        case TimerKind::kMovement: return &g_fish.moveTick;
        case TimerKind::kDistance: return &g_fish.distanceTick;
        case TimerKind::kPollution: return &g_pollutionTick;
        case TimerKind::kDrain: return &g_drainTick;
    }
    return nullptr;
}

// Whether the timer's effect shows after one play step from a known state.
bool FiredEffect(TimerKind kind, const FishState& before, int32_t pollutionBefore) {
    switch (kind) {
        case TimerKind::kMovement: return g_fish.x != before.x;
        case TimerKind::kDistance: return g_fish.distance != before.distance;
        case TimerKind::kPollution: return g_pollution != pollutionBefore;
        case TimerKind::kDrain: return g_fish.hp != before.hp;
    }
    return false;
}

// Each timer at one tick short of its interval, on it, and one past it; the
// last tick is placed just before the tick wraps, so the frame ticks of the
// later rows wrap too.
TEST_F(PlayTest, TimersFireOnTheirTickOrOnePastIt) {
    Hold(VK_RIGHT);
    for (const int32_t base : {static_cast<int32_t>(kStartMs), INT32_MAX - 40}) {
        for (const TimerRow& timer : kTimers) {
            for (const int32_t offset : {-1, 0, 1}) {
                Quiet(static_cast<uint32_t>(base));
                g_fish.x = 100;
                const int32_t frameTick = Wrap32(int64_t{base} + timer.interval + offset);
                SetClock(static_cast<uint32_t>(frameTick));
                *LastTick(timer.kind) = base;
                const FishState before = g_fish;
                const int32_t pollutionBefore = g_pollution;
                ScenePlay();
                const bool expected = offset > 0 || (offset == 0 && !timer.strict);
                EXPECT_EQ(FiredEffect(timer.kind, before, pollutionBefore), expected)
                    << timer.name << " timer, base " << base << ", " << timer.interval << "+" << offset << " ms";
                EXPECT_EQ(*LastTick(timer.kind), expected ? frameTick : base)
                    << timer.name << " timer's last tick, offset " << offset;
            }
        }
    }
}

TEST_F(PlayTest, ALongGapFiresEachTimerOnceWithoutMakingUp) {
    Hold(VK_RIGHT);
    SetClock(kStartMs + 60000);
    g_objectInFlight = 1;
    ScenePlay();
    EXPECT_EQ(g_fish.x, 110) << "one movement step";
    EXPECT_EQ(g_fish.distance, 1) << "one distance step";
    EXPECT_GE(g_pollution, 1001);
    EXPECT_LE(g_pollution, 1005) << "one pollution step";
    EXPECT_EQ(g_fish.hp, 5000 - (g_pollution - 900)) << "one drain of the risen pollution's excess";
}

TEST_F(PlayTest, FirstRunningFrameFiresPollutionAndDrainFromTheOldTicks) {
    g_pollutionTick = 0;
    g_drainTick = 0;
    NewGame(kStartMs);
    g_objectInFlight = 1;
    ScenePlay();
    EXPECT_EQ(g_pollutionTick, static_cast<int32_t>(kStartMs));
    EXPECT_EQ(g_drainTick, static_cast<int32_t>(kStartMs));
    EXPECT_EQ(g_fish.distance, 0) << "the new game's own ticks wait their interval";
    EXPECT_EQ(g_fish.distanceTick, static_cast<int32_t>(kStartMs));
}

struct MoveRow {
    const char* name;
    int32_t x, y;
    std::vector<int> keys;
    int32_t expectedX, expectedY;
};

TEST_F(PlayTest, MovementStepsAndClamps) {
    const MoveRow rows[] = {
        {"left from 1", 1, 310, {VK_LEFT}, 0, 310},
        {"down at the bottom", 1, 310, {VK_DOWN}, 1, 310},
        {"right at the right", 235, 100, {VK_RIGHT}, 235, 100},
        {"right to 230", 220, 100, {VK_RIGHT}, 230, 100},
        {"up at 5", 50, 5, {VK_UP}, 50, 0},
        {"up from 10", 50, 10, {VK_UP}, 50, 0},
        {"up from 11", 50, 11, {VK_UP}, 50, 1},
        {"opposites cancel", 100, 100, {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}, 100, 100},
        {"diagonal", 100, 100, {VK_RIGHT, VK_DOWN}, 110, 110},
        {"down past the bottom", 100, 305, {VK_DOWN}, 100, 310},
        {"out of range, no key", 300, -20, {}, 235, 0},
    };
    for (const MoveRow& row : rows) {
        for (int key : row.keys) Hold(key);
        Quiet(kStartMs);
        SetClock(kStartMs + 30);
        g_fish.x = row.x;
        g_fish.y = row.y;
        ScenePlay();
        EXPECT_EQ(g_fish.x, row.expectedX) << row.name;
        EXPECT_EQ(g_fish.y, row.expectedY) << row.name;
        for (int key : row.keys) Lift(key);
    }
}

TEST_F(PlayTest, ClampsWaitForTheMovementTimer) {
    SetClock(kStartMs + 29);
    g_fish.x = 300;
    g_fish.y = -20;
    ScenePlay();
    EXPECT_EQ(g_fish.x, 300);
    EXPECT_EQ(g_fish.y, -20);
}

// The drain is the excess of pollution over strength from 10 up, else a
// random 1 to 10: the only draw of a quiet frame.
TEST_F(PlayTest, DrainTakesTheExcessOrARandomOneToTen) {
    struct Row {
        int32_t pollution;
        int32_t strength;
        bool random;
        int32_t drain;
    };
    const Row rows[] = {
        {1010, 1000, false, 10},
        {1011, 1000, false, 11},
        {3000, 0, false, 3000},
        {1009, 1000, true, 0},
        {1000, 1000, true, 0},
        {5, 2000, true, 0},
        {INT32_MIN + 5, 100, false, INT32_MAX - 94},  // the difference wraps, as 32 bits do
    };
    for (const Row& row : rows) {
        const uint32_t seed = static_cast<uint32_t>(row.pollution) ^ 0x5A5Au;
        Quiet(kStartMs);
        SetClock(kStartMs + 501);
        g_drainTick = static_cast<int32_t>(kStartMs);
        g_pollution = row.pollution;
        g_fish.strength = row.strength;
        g_fish.hp = 5000;
        SeedRandom(seed);
        Lcg model{seed};
        ScenePlay();
        const int32_t drain = row.random ? model.Next() % 10 + 1 : row.drain;
        EXPECT_EQ(g_fish.hp, Wrap32(int64_t{5000} - drain))
            << "pollution " << row.pollution << ", strength " << row.strength;
        EXPECT_EQ(Random(), model.Next()) << "draws, pollution " << row.pollution;
    }
}

TEST_F(PlayTest, PollutionRisesOneToFive) {
    for (uint32_t seed = 1; seed < 40; ++seed) {
        Quiet(kStartMs);
        SetClock(kStartMs + 1001);
        g_pollutionTick = static_cast<int32_t>(kStartMs);
        g_pollution = 1000;
        SeedRandom(seed);
        Lcg model{seed};
        ScenePlay();
        EXPECT_EQ(g_pollution, 1000 + model.Next() % 5 + 1) << "seed " << seed;
    }
}

TEST_F(PlayTest, HudPrintsTheFiguresInItsFields) {
    struct Row {
        int32_t pollution, distance, hp, strength;
        std::vector<std::string> lineA;
        std::string hp_, strength_;
    };
    const Row rows[] = {
        {1000, 0, 5000, 900, {" 1000", "    0"}, "      5000", "       900"},
        {123456, 7, -20, 0, {"123456", "    7"}, "       -20", "         0"},
        {5, 99999, INT32_MIN, 2147483647, {"    5", "99999"}, "-2147483648", "2147483647"},
    };
    for (const Row& row : rows) {
        Quiet(kStartMs);
        g_pollution = row.pollution;
        g_fish.distance = row.distance;
        g_fish.hp = row.hp;
        g_fish.strength = row.strength;
        Notes();
        ScenePlay();
        const std::vector<winapi::TextNote> texts = Texts(Notes());
        ASSERT_GE(texts.size(), 4u);
        const winapi::TextNote* hud = &texts[texts.size() - 4];
        const std::string expected[] = {Utf8(kTextKeyHelp), Fill(kTextPollutionDistance, row.lineA),
                                        Fill(kTextHudHp, {row.hp_}), Fill(kTextHudStrength, {row.strength_})};
        const COLORREF colours[] = {0x0000FFFF, 0x00FFFF00, 0x00FFFF00, 0x00FFFF00};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(hud[i].text, expected[i]) << "HUD line " << i;
            EXPECT_EQ(hud[i].x, 0);
            EXPECT_EQ(hud[i].y, 20 * i) << "HUD line " << i;
            EXPECT_EQ(hud[i].colour, colours[i]) << "HUD line " << i;
        }
    }
}

TEST_F(PlayTest, RunningFrameDrawsInItsOrder) {
    g_specialMoves[kMoveSokodikara] = SpecialMove{0, 1, 0, static_cast<int32_t>(kStartMs)};
    g_specialMoves[kMoveFait] = SpecialMove{0, 1, 1, static_cast<int32_t>(kStartMs)};
    g_specialMoves[kMoveTomogui] = SpecialMove{0, 1, 2, static_cast<int32_t>(kStartMs)};
    g_mutation[3] = 1;
    g_objectInFlight = 1;
    g_objectActive[1] = 1;
    g_drift[1] = DriftObject{100, static_cast<int32_t>(kStartMs), 100, 500, 10, 0, 60};
    ScenePlay();
    const std::vector<std::string> expected = {"sokodikara1", "fisht",    "fish1",   "henge3",
                                               "fait2",       "tomogui3", "syougai0"};
    EXPECT_EQ(PictureNames(Notes()), expected);
}

TEST_F(PlayTest, PauseFreezesPlayUntilSpaceIsReleasedAgain) {
    g_specialMoves[kMoveTomogui] = SpecialMove{0, 1, 0, static_cast<int32_t>(kStartMs)};
    Hold(VK_SPACE);
    ScenePlay();
    EXPECT_EQ(g_paused, 0);
    EXPECT_EQ(g_pauseLatch, 1);
    Lift(VK_SPACE);
    Hold(VK_RIGHT);
    SetClock(kStartMs + 30);
    Notes();
    EXPECT_EQ(ScenePlay(), kScenePlay);
    EXPECT_EQ(g_paused, 1);
    EXPECT_EQ(g_fish.x, 110) << "the releasing frame still runs whole";
    std::vector<winapi::DrawNote> notes = Notes();
    EXPECT_FALSE(Drew(notes, "push"));
    EXPECT_TRUE(Drew(notes, "fish1"));
    EXPECT_EQ(Texts(notes).size(), 6u) << "thought, move message and four HUD lines";

    const FishState fish = g_fish;
    const SpecialMove move = g_specialMoves[kMoveTomogui];
    const int32_t pollution = g_pollution;
    Hold(VK_F1);
    Lift(VK_F1);  // a move press made wholly in the pause is lost
    Hold(VK_F1);
    for (uint32_t t = kStartMs + 100; t < kStartMs + 20000; t += 1000) {
        SetClock(t);
        SeedRandom(t);
        ScenePlay();
        const std::vector<Blit> blits = Blits(Notes());
        ASSERT_EQ(blits.size(), 1u) << "only the pause picture, at " << t;
        EXPECT_EQ(blits[0].picture, "push");
        EXPECT_TRUE(blits[0].keyed);
        EXPECT_TRUE(SameRect(blits[0].dest, Box(0, 0, 640, 480)));
        Lcg model{t};
        EXPECT_EQ(Random(), model.Next()) << "a paused frame draws no random number";
    }
    Lift(VK_F1);
    EXPECT_EQ(g_fish.x, fish.x);
    EXPECT_EQ(g_fish.distance, fish.distance);
    EXPECT_EQ(g_fish.hp, fish.hp);
    EXPECT_EQ(g_fish.animFrame, fish.animFrame);
    EXPECT_EQ(g_pollution, pollution);
    EXPECT_EQ(g_specialMoves[kMoveTomogui].phase, move.phase);
    EXPECT_EQ(g_specialMoves[kMoveSokodikara].keyLatch, 0) << "F1 is not read while paused";

    Hold(VK_SPACE);
    ScenePlay();
    Lift(VK_SPACE);
    SetClock(kStartMs + 30000);
    ScenePlay();
    EXPECT_EQ(g_paused, 0);
    EXPECT_TRUE(Drew(Notes(), "push")) << "the releasing frame still shows the pause";

    SetClock(kStartMs + 30016);
    const int32_t distance = g_fish.distance;
    ScenePlay();
    EXPECT_EQ(g_fish.distance, distance + 1) << "one distance step after the pause";
    EXPECT_EQ(g_fish.x, 120) << "one movement step";
    EXPECT_EQ(g_specialMoves[kMoveTomogui].phase, move.phase + 1) << "one phase";
    EXPECT_EQ(g_specialMoves[kMoveSokodikara].active, 0);
}

TEST_F(PlayTest, PressedMoveKeyStartsItsMoveOnRelease) {
    struct Row {
        int key;
        int32_t move;
        const char* picture;
        bool freshTick;
    };
    const Row rows[] = {
        {VK_F3, kMoveFait, "fait1", true},
        {VK_F1, kMoveSokodikara, "sokodikara1", false},
        {VK_F2, kMoveTomogui, "tomogui1", false},
    };
    for (const Row& row : rows) {
        g_specialMoves[row.move] = SpecialMove{};
        Hold(row.key);
        ScenePlay();
        EXPECT_EQ(g_specialMoves[row.move].keyLatch, 1) << row.picture;
        EXPECT_EQ(g_specialMoves[row.move].active, 0) << row.picture << ": not while held";
        Lift(row.key);
        g_frameTick = static_cast<int32_t>(kStartMs);
        headless::SetMilliseconds(kStartMs + 7);
        Notes();
        ScenePlay();
        const SpecialMove& move = g_specialMoves[row.move];
        EXPECT_EQ(move.active, 1) << row.picture;
        EXPECT_EQ(move.keyLatch, 0) << row.picture;
        EXPECT_EQ(move.phase, 0) << row.picture;
        EXPECT_EQ(move.phaseTick, static_cast<int32_t>(row.freshTick ? kStartMs + 7 : kStartMs)) << row.picture;
        EXPECT_TRUE(Drew(Notes(), row.picture)) << "the starting frame draws phase 0";
    }
}

TEST_F(PlayTest, ReleaseDuringAMoveStartsItOnceMoreAfterItEnds) {
    g_specialMoves[kMoveTomogui] = SpecialMove{0, 1, 1, static_cast<int32_t>(kStartMs)};
    for (int press = 0; press < 2; ++press) {
        Hold(VK_F2);
        ScenePlay();
        Lift(VK_F2);
        ScenePlay();
    }
    EXPECT_EQ(g_specialMoves[kMoveTomogui].keyLatch, 1);
    EXPECT_EQ(g_specialMoves[kMoveTomogui].phase, 1);
    uint32_t t = kStartMs;
    int starts = 0;
    for (int frame = 0; frame < 12; ++frame) {
        SetClock(t += 101);
        const int32_t wasActive = g_specialMoves[kMoveTomogui].active;
        ScenePlay();
        if (wasActive == 0 && g_specialMoves[kMoveTomogui].active == 1) ++starts;
    }
    EXPECT_EQ(starts, 1) << "one more run, however many presses";
    EXPECT_EQ(g_specialMoves[kMoveTomogui].keyLatch, 0);
}

TEST_F(PlayTest, EndCheck) {
    struct Row {
        const char* name;
        int32_t hp;
        int32_t mutations;
        bool tabHeld;
        int32_t latch;
        bool paused;
        int32_t result;
        int32_t latchAfter;
    };
    const Row rows[] = {
        {"hp 1", 1, 0, false, 0, false, kScenePlay, 0},
        {"hp 0", 0, 0, false, 0, false, kSceneResult, 0},
        {"hp -5", -5, 0, false, 0, false, kSceneResult, 0},
        {"7 mutations", 5000, 7, false, 0, false, kScenePlay, 0},
        {"8 mutations", 5000, 8, false, 0, false, kSceneResult, 0},
        {"9 mutations", 5000, 9, false, 0, false, kSceneResult, 0},
        {"hp 0 with TAB held", 0, 0, true, 0, false, kSceneResult, 0},
        {"8 mutations with TAB held", 5000, 8, true, 1, false, kSceneResult, 0},
        {"TAB held", 5000, 0, true, 0, false, kScenePlay, 1},
        {"TAB released", 5000, 0, false, 1, false, kSceneResult, 0},
        {"TAB released while paused", 5000, 0, false, 1, true, kSceneResult, 0},
        {"hp 0 while paused", 0, 0, false, 0, true, kSceneResult, 0},
    };
    for (const Row& row : rows) {
        Quiet(kStartMs);
        g_fish.hp = row.hp;
        g_fish.mutationCount = row.mutations;
        g_keyLatch = row.latch;
        g_paused = row.paused ? 1 : 0;
        if (row.tabHeld) Hold(VK_TAB);
        EXPECT_EQ(ScenePlay(), row.result) << row.name;
        EXPECT_EQ(g_keyLatch, row.latchAfter) << row.name;
        if (row.tabHeld) Lift(VK_TAB);
    }
}

TEST_F(PlayTest, MutationsOfAFrameAreSeenByItsEndCheck) {
    g_fish.mutationCount = 7;
    g_fish.hp = 1000;  // mutation 0 comes in this frame
    EXPECT_EQ(ScenePlay(), kSceneResult);
    EXPECT_EQ(g_fish.mutationCount, 8);
}

}  // namespace
