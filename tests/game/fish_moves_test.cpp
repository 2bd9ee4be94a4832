// The fish sprite and its mutations; the three special moves.
#include "game/assets.h"
#include "game/fish.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/random.h"
#include "game/texts.h"
#include "tests/game/game_fixture.h"

namespace {

class FishTest : public QuietGameTest {};

enum class Stat { kHp, kStrength, kPollution };

int32_t& StatRef(Stat stat) {
    switch (stat) {
        case Stat::kHp: return g_fish.hp;
        case Stat::kStrength: return g_fish.strength;
        case Stat::kPollution: return g_pollution;
    }
    return g_pollution;
}

struct BoundRow {
    int index;
    Stat stat;
    int32_t bound;
    int32_t inward;  // +1 when values above the bound are inside it, -1 when below
};

// Each mutation's bound: at it and beyond it grant, one step inside does not.
const BoundRow kBounds[] = {
    {0, Stat::kHp, 1000, +1},       {1, Stat::kHp, 8332, -1},        {2, Stat::kHp, 11664, -1},
    {3, Stat::kStrength, 1500, -1}, {4, Stat::kStrength, 2100, -1},  {5, Stat::kStrength, 10, +1},
    {6, Stat::kPollution, 200, +1}, {7, Stat::kPollution, 1666, -1}, {8, Stat::kPollution, 3000, -1},
};

TEST_F(FishTest, EachMutationAtBelowAndAboveItsBound) {
    for (const BoundRow& row : kBounds) {
        for (const int32_t step : {-1, 0, 1}) {
            const int32_t value = row.bound + step * -row.inward;  // step -1 is inside, 0 at, +1 beyond
            // The other rows are already gained, so nested bounds stay apart.
            for (int i = 0; i < kMutationCount; ++i) g_mutation[i] = i == row.index ? 0 : 1;
            g_fish.mutationCount = 0;
            g_fish.hp = 5000;
            g_fish.strength = 900;
            g_pollution = 1000;
            StatRef(row.stat) = value;
            Notes();
            CheckMutations();
            const bool granted = step >= 0;
            for (int i = 0; i < kMutationCount; ++i) {
                EXPECT_EQ(g_mutation[i], i != row.index || granted ? 1 : 0)
                    << "mutation " << i << " with the stat of mutation " << row.index << " at " << value;
            }
            EXPECT_EQ(g_fish.mutationCount, granted ? 1 : 0) << "mutation " << row.index << " at " << value;
            EXPECT_EQ(Drew(Notes(), "back2"), granted) << "flash, mutation " << row.index << " at " << value;
        }
    }
}

TEST_F(FishTest, SeveralInOneCallAllCountWithOneFlash) {
    g_fish.hp = 11664;
    g_pollution = 3000;
    CheckMutations();
    const int32_t expected[kMutationCount] = {0, 1, 1, 0, 0, 0, 0, 1, 1};
    for (int i = 0; i < kMutationCount; ++i) EXPECT_EQ(g_mutation[i], expected[i]) << "mutation " << i;
    EXPECT_EQ(g_fish.mutationCount, 4);
    const std::vector<Blit> blits = Blits(Notes());
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].picture, "back2");
    EXPECT_FALSE(blits[0].keyed);
    EXPECT_TRUE(SameRect(blits[0].dest, Box(0, 0, 640, 480)));
    EXPECT_TRUE(SameRect(blits[0].src, Box(0, 0, 640, 480)));
}

TEST_F(FishTest, EachMutationOnlyOncePerRun) {
    g_fish.hp = 8332;
    CheckMutations();
    g_fish.hp = 5000;
    CheckMutations();
    g_fish.hp = 9000;
    Notes();
    CheckMutations();
    EXPECT_EQ(g_fish.mutationCount, 1);
    EXPECT_FALSE(Drew(Notes(), "back2")) << "nothing new, no flash";
    g_fish.hp = 900;  // the opposite bound of the same stat
    CheckMutations();
    EXPECT_EQ(g_mutation[0], 1);
    EXPECT_EQ(g_fish.mutationCount, 2);
}

TEST_F(FishTest, ARunCanEndWithNineMutations) {
    for (int i = 0; i < 7; ++i) g_mutation[i] = 1;
    g_fish.mutationCount = 7;
    g_pollution = 3000;
    CheckMutations();
    EXPECT_EQ(g_fish.mutationCount, 9);
}

TEST_F(FishTest, SpriteFramesAndOverlaysByScene) {
    struct Row {
        int32_t scene;
        int32_t frame;
        std::vector<std::string> pictures;
    };
    const Row rows[] = {
        {kScenePlay, 1, {"fisht", "fish1", "henge2", "henge7"}},
        {kSceneResult, 1, {"fish1", "henge2", "henge7"}},
        {kScenePlay, 2, {"fish2", "henge2", "henge7"}},
        {kSceneResult, 2, {"fish2", "henge2", "henge7"}},
        {kScenePlay, 0, {"henge2", "henge7"}},
    };
    g_mutation[7] = 1;
    g_mutation[2] = 1;
    for (const Row& row : rows) {
        g_scene = row.scene;
        g_fish.animFrame = row.frame;
        g_fish.animTick = g_frameTick;
        DrawFish(33, 44);
        const std::vector<Blit> blits = Blits(Notes());
        std::vector<std::string> names;
        for (const Blit& blit : blits) {
            names.push_back(blit.picture);
            EXPECT_TRUE(blit.keyed) << blit.picture;
            EXPECT_TRUE(SameRect(blit.dest, Box(33, 44, 170, 170))) << blit.picture << " " << RectText(blit.dest);
            EXPECT_TRUE(SameRect(blit.src, Box(0, 0, 170, 170))) << blit.picture << " " << RectText(blit.src);
        }
        EXPECT_EQ(names, row.pictures) << "scene " << row.scene << ", frame " << row.frame;
    }
}

TEST_F(FishTest, SwimFrameChangesMoreThanAHundredMillisecondsOn) {
    struct Row {
        int32_t after;
        int32_t frameBefore;
        int32_t frameAfter;
    };
    const Row rows[] = {{100, 1, 1}, {101, 1, 2}, {101, 2, 1}, {5000, 2, 1}, {-50, 1, 1}};
    for (const Row& row : rows) {
        g_fish.animTick = static_cast<int32_t>(kStartMs);
        g_fish.animFrame = row.frameBefore;
        g_frameTick = static_cast<int32_t>(kStartMs) + row.after;
        DrawFish(0, 0);
        EXPECT_EQ(g_fish.animFrame, row.frameAfter) << row.after << " ms after, from frame " << row.frameBefore;
        EXPECT_EQ(g_fish.animTick, row.frameAfter != row.frameBefore ? g_frameTick : static_cast<int32_t>(kStartMs));
    }
}

class MoveTest : public FishTest {
protected:
    static void Start(int32_t index, int32_t tick) { g_specialMoves[index] = SpecialMove{0, 1, 0, tick}; }
};

struct MoveInfo {
    int32_t index;
    const char* base;
    const char* message;
    int32_t messageY;
};
const MoveInfo kMoves[] = {
    {kMoveFait, "fait", kTextMoveFait, 400},
    {kMoveSokodikara, "sokodikara", kTextMoveSokodikara, 440},
    {kMoveTomogui, "tomogui", kTextMoveTomogui, 420},
};

// Three pictures of a little over 100 ms each, then the effect frame with the
// message but no picture, then nothing.
TEST_F(MoveTest, PhasesPicturesAndMessage) {
    for (const MoveInfo& info : kMoves) {
        const int32_t t0 = static_cast<int32_t>(kStartMs);
        Start(info.index, t0);
        g_fish.x = 20;
        g_fish.y = 30;
        struct Step {
            int32_t at;
            int32_t picture;  // -1: none
            int32_t phaseAfter;
            int32_t activeAfter;
        };
        const Step steps[] = {
            {t0, 0, 0, 1},       {t0 + 100, 0, 0, 1}, {t0 + 101, 0, 1, 1}, {t0 + 150, 1, 1, 1},
            {t0 + 202, 1, 2, 1}, {t0 + 250, 2, 2, 1}, {t0 + 303, 2, 3, 1}, {t0 + 304, -1, 3, 0},
        };
        for (const Step& step : steps) {
            g_frameTick = step.at;
            g_fish.x += 5;  // the picture follows the fish
            UpdateSpecialMove(info.index);
            const std::vector<winapi::DrawNote> notes = Notes();
            const std::vector<Blit> blits = Blits(notes);
            const std::vector<winapi::TextNote> texts = Texts(notes);
            if (step.picture < 0) {
                EXPECT_TRUE(blits.empty()) << info.base << " at +" << step.at - t0;
            } else {
                ASSERT_EQ(blits.size(), 1u) << info.base << " at +" << step.at - t0;
                EXPECT_EQ(blits[0].picture, std::string(info.base) + std::to_string(step.picture + 1));
                EXPECT_TRUE(blits[0].keyed);
                EXPECT_TRUE(SameRect(blits[0].dest, Box(g_fish.x, 30, 170, 170))) << RectText(blits[0].dest);
                EXPECT_TRUE(SameRect(blits[0].src, Box(0, 0, 170, 170)));
            }
            ASSERT_EQ(texts.size(), 1u) << info.base << " message at +" << step.at - t0;
            EXPECT_EQ(texts[0].text, Utf8(info.message));
            EXPECT_EQ(texts[0].x, 0);
            EXPECT_EQ(texts[0].y, info.messageY);
            EXPECT_EQ(texts[0].colour, 0x00FFFFFFu);
            EXPECT_EQ(g_specialMoves[info.index].phase, step.phaseAfter) << info.base << " +" << step.at - t0;
            EXPECT_EQ(g_specialMoves[info.index].active, step.activeAfter) << info.base << " +" << step.at - t0;
        }
        UpdateSpecialMove(info.index);
        EXPECT_TRUE(Notes().empty()) << info.base << " after it ended";
    }
}

// Runs the effect call of a move from a known seed.
void RunEffect(int32_t index, uint32_t seed) {
    g_specialMoves[index] = SpecialMove{0, 1, 3, g_frameTick};
    SeedRandom(seed);
    UpdateSpecialMove(index);
}

TEST_F(MoveTest, EffectsDrawTheirNumbersInOrder) {
    for (uint32_t seed = 10; seed < 30; ++seed) {
        g_pollution = 1000;
        g_fish.strength = 900;
        g_fish.hp = 5000;
        RunEffect(kMoveFait, seed);
        Lcg fait{seed};
        const int32_t faitPollution = fait.Next() % 10 + 25;
        EXPECT_EQ(g_pollution, 1000 + faitPollution) << "fait, seed " << seed;
        EXPECT_EQ(g_fish.strength, 900 + fait.Next() % 10 + 30) << "fait, seed " << seed;
        EXPECT_EQ(g_fish.hp, 5000);

        g_pollution = 1000;
        g_fish.strength = 900;
        g_fish.hp = 5000;
        RunEffect(kMoveSokodikara, seed);
        Lcg soko{seed};
        EXPECT_EQ(g_pollution, 1000 - (soko.Next() % 10 + 11)) << "sokodikara, seed " << seed;
        EXPECT_EQ(g_fish.hp, 5000 - (soko.Next() % 25 + 25)) << "sokodikara, seed " << seed;
        EXPECT_EQ(g_fish.strength, 900 - (soko.Next() % 10 + 10)) << "sokodikara, seed " << seed;

        g_pollution = 1000;
        g_fish.strength = 900;
        g_fish.hp = 5000;
        RunEffect(kMoveTomogui, seed);
        Lcg tomo{seed};
        EXPECT_EQ(g_pollution, 1000 + tomo.Next() % 10 + 20) << "tomogui, seed " << seed;
        EXPECT_EQ(g_fish.hp, 5000 + 300 + tomo.Next() % 150) << "tomogui: three times the excess of 100";
        EXPECT_EQ(g_fish.strength, 900);
    }
}

TEST_F(MoveTest, TomoguiExcessBelowTenIsARandomOneToTen) {
    struct Row {
        int32_t pollution;
        int32_t strength;
        bool random;
    };
    const Row rows[] = {{1010, 1000, false}, {1009, 1000, true}, {500, 900, true}};
    for (const Row& row : rows) {
        const uint32_t seed = 4242;
        g_pollution = row.pollution;
        g_fish.strength = row.strength;
        g_fish.hp = 5000;
        RunEffect(kMoveTomogui, seed);
        Lcg model{seed};
        const int32_t excess = row.random ? model.Next() % 10 + 1 : row.pollution - row.strength;
        const int32_t rise = model.Next() % 10 + 20;
        EXPECT_EQ(g_pollution, row.pollution + rise) << "pollution " << row.pollution;
        EXPECT_EQ(g_fish.hp, 5000 + excess * 3 + model.Next() % 150) << "pollution " << row.pollution;
    }
}

TEST_F(MoveTest, FloorsCorrectPollutionAndStrengthInTheSameCall) {
    const uint32_t seed = 777;
    g_pollution = 15;
    g_fish.strength = 5;
    g_fish.hp = 5000;
    RunEffect(kMoveSokodikara, seed);
    Lcg model{seed};
    model.Next();
    model.Next();
    model.Next();
    EXPECT_EQ(g_pollution, model.Next() % 10 + 5) << "the floor's draw comes after the effect's";
    EXPECT_EQ(g_fish.strength, 0);
    EXPECT_EQ(g_specialMoves[kMoveSokodikara].active, 0);
}

TEST_F(MoveTest, FloorsOnlyWhileAMoveRuns) {
    struct Row {
        int32_t pollution;
        int32_t strength;
        bool active;
        bool floored;
    };
    const Row rows[] = {
        {9, 0, true, true}, {10, 0, true, false}, {-30, -1, true, true}, {9, -1, false, false}, {10, 5, true, false},
    };
    for (const Row& row : rows) {
        for (uint32_t seed = 1; seed < 20; ++seed) {
            g_specialMoves[kMoveTomogui] = SpecialMove{0, row.active ? 1 : 0, 1, g_frameTick};
            g_pollution = row.pollution;
            g_fish.strength = row.strength;
            SeedRandom(seed);
            UpdateSpecialMove(kMoveTomogui);
            Lcg model{seed};
            EXPECT_EQ(g_pollution, row.floored ? model.Next() % 10 + 5 : row.pollution)
                << "pollution " << row.pollution << ", active " << row.active;
            EXPECT_EQ(g_fish.strength, row.active && row.strength < 0 ? 0 : row.strength)
                << "strength " << row.strength << ", active " << row.active;
        }
    }
}

TEST_F(MoveTest, MovesRunTogetherEachOnItsOwnRow) {
    for (const MoveInfo& info : kMoves) Start(info.index, g_frameTick);
    for (const MoveInfo& info : kMoves) UpdateSpecialMove(info.index);
    const std::vector<winapi::TextNote> texts = Texts(Notes());
    ASSERT_EQ(texts.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(texts[i].y, kMoves[i].messageY);
}

}  // namespace
