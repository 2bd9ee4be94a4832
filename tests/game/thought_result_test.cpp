// The thought line beside the fish, and the result screen.
#include <climits>

#include "game/fish.h"
#include "game/frame.h"
#include "game/random.h"
#include "game/result.h"
#include "game/texts.h"
#include "game/thought.h"
#include "tests/game/game_fixture.h"

namespace {

class ThoughtTest : public QuietGameTest {
protected:
    static winapi::TextNote Line() {
        DrawThought(300, 340);
        const std::vector<winapi::TextNote> texts = Texts(Notes());
        EXPECT_EQ(texts.size(), 1u);
        return texts.empty() ? winapi::TextNote{} : texts[0];
    }
};

TEST_F(ThoughtTest, ChangesOnTheExactTickWithAFreshClockReading) {
    struct Row {
        int32_t after;
        bool changes;
    };
    const Row rows[] = {{4999, false}, {5000, true}, {5001, true}, {-1, false}};
    for (const Row& row : rows) {
        const uint32_t seed = FindSeed([](Lcg& lcg) { return lcg.Next() % 10 != 5; });
        g_thought = 5;  // the draw gives another line
        g_thoughtTick = static_cast<int32_t>(kStartMs);
        g_frameTick = static_cast<int32_t>(kStartMs) + row.after;
        headless::SetMilliseconds(kStartMs + 9999);
        SeedRandom(seed);
        if (row.changes) {
            Line();
            Lcg model{seed};
            EXPECT_EQ(g_thought, model.Next() % 10) << row.after << " ms after";
            EXPECT_EQ(g_thoughtTick, static_cast<int32_t>(kStartMs + 9999)) << "not the frame tick";
        } else {
            Line();
            EXPECT_EQ(g_thought, 5) << row.after << " ms after";
            EXPECT_EQ(g_thoughtTick, static_cast<int32_t>(kStartMs));
        }
    }
}

TEST_F(ThoughtTest, LinesShowTheirFiguresOfThisFrame) {
    g_fish.hp = -20;
    g_fish.strength = 2100;
    g_pollution = 1234;
    g_fish.distance = 77;
    g_fish.mutationCount = 8;
    const char* const lines[] = {kTextThought0, kTextThought1, kTextThought2, kTextThought3, kTextThought4,
                                 kTextThought5, kTextThought6, kTextThought7, kTextThought8, kTextThought9};
    const std::vector<std::string> fields[] = {{"-20"}, {"2100"}, {"1234"}, {"77"}, {"8"}, {}, {}, {}, {}, {}};
    for (int32_t i = 0; i < 10; ++i) {
        g_thought = i;
        const winapi::TextNote line = Line();
        EXPECT_EQ(line.text, Fill(lines[i], fields[i])) << "line " << i;
        EXPECT_EQ(line.x, 300);
        EXPECT_EQ(line.y, 340);
        EXPECT_EQ(line.colour, 0x00FFFF00u);
    }
    g_thought = 3;
    g_fish.distance = 78;
    EXPECT_EQ(Line().text, Fill(kTextThought3, {"78"})) << "formatted afresh";
}

TEST_F(ThoughtTest, HummedLineIsOneShortLineEndingWithANote) {
    const std::string line = Utf8(kTextThought8);
    EXPECT_EQ(line.find('%'), std::string::npos);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const std::string note = "\u266A";
    ASSERT_GE(line.size(), note.size());
    EXPECT_EQ(line.substr(line.size() - note.size()), note) << line;
    EXPECT_LE(line.size(), 60u) << line;
}

class ResultTest : public QuietGameTest {
protected:
    void SetUp() override {
        QuietGameTest::SetUp();
        g_scene = kSceneResult;
    }
};

TEST_F(ResultTest, VerdictRowsAtEachBound) {
    struct Row {
        int32_t value;
        int row;
    };
    const char* const byMutations[] = {kTextVerdictMutation1, kTextVerdictMutation2, kTextVerdictMutation3,
                                       kTextVerdictMutation4};
    const char* const byDistance[] = {kTextVerdictDistance1, kTextVerdictDistance2, kTextVerdictDistance3,
                                      kTextVerdictDistance4};
    const char* const byPollution[] = {kTextVerdictPollution1, kTextVerdictPollution2, kTextVerdictPollution3,
                                       kTextVerdictPollution4};
    const Row mutationRows[] = {{0, 0}, {2, 0}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 3}, {9, 3}};
    const Row figureRows[] = {{INT32_MIN, 0}, {1000, 0}, {1001, 1}, {2000, 1},
                              {2001, 2},      {3000, 2}, {3001, 3}, {INT32_MAX, 3}};
    for (const Row& m : mutationRows) {
        for (const Row& f : figureRows) {
            g_fish.mutationCount = m.value;
            g_fish.distance = f.value;
            g_pollution = f.value;
            SceneResult();
            const std::vector<winapi::TextNote> texts = Texts(Notes());
            ASSERT_EQ(texts.size(), 6u);
            EXPECT_EQ(texts[3].text, Utf8(byMutations[m.row])) << "mutations " << m.value;
            EXPECT_EQ(texts[4].text, Utf8(byDistance[f.row])) << "distance " << f.value;
            EXPECT_EQ(texts[5].text, Utf8(byPollution[f.row])) << "pollution " << f.value;
            for (int i = 3; i < 6; ++i) {
                EXPECT_EQ(texts[i].x, 235);
                EXPECT_EQ(texts[i].y, 385 + 20 * (i - 3));
                EXPECT_EQ(texts[i].colour, 0x0000FFFFu);
            }
        }
    }
}

TEST_F(ResultTest, FiguresInFiveCharacterFields) {
    struct Row {
        int32_t pollution, distance, hp, strength, mutations;
        std::vector<std::string> a, b, c;
    };
    const Row rows[] = {
        {1000, 12, -20, 0, 3, {" 1000", "   12"}, {"  -20", "    0"}, {"    3"}},
        {123456, 99999, 100000, -99999, 10, {"123456", "99999"}, {"100000", "-99999"}, {"   10"}},
    };
    for (const Row& row : rows) {
        g_pollution = row.pollution;
        g_fish.distance = row.distance;
        g_fish.hp = row.hp;
        g_fish.strength = row.strength;
        g_fish.mutationCount = row.mutations;
        SceneResult();
        const std::vector<winapi::TextNote> texts = Texts(Notes());
        ASSERT_EQ(texts.size(), 6u);
        EXPECT_EQ(texts[0].text, Fill(kTextPollutionDistance, row.a));
        EXPECT_EQ(texts[1].text, Fill(kTextResultHpStrength, row.b));
        EXPECT_EQ(texts[2].text, Fill(kTextResultMutation, row.c));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(texts[i].x, 235);
            EXPECT_EQ(texts[i].y, 325 + 20 * i);
            EXPECT_EQ(texts[i].colour, 0x00FFFFFFu);
        }
    }
}

TEST_F(ResultTest, FishWithoutItsShadowFrameAtTheFixedPlace) {
    g_mutation[4] = 1;
    g_fish.animFrame = 1;
    SceneResult();
    const std::vector<Blit> blits = Blits(Notes());
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(blits[0].picture, "fish1");
    EXPECT_EQ(blits[1].picture, "henge4");
    for (const Blit& blit : blits) EXPECT_TRUE(SameRect(blit.dest, Box(235, 155, 170, 170))) << RectText(blit.dest);
}

TEST_F(ResultTest, LeavesOnTheReleaseOfSpace) {
    EXPECT_EQ(SceneResult(), kSceneResult);
    Hold(VK_SPACE);
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(SceneResult(), kSceneResult) << "held, frame " << frame;
    EXPECT_EQ(g_keyLatch, 1);
    Lift(VK_SPACE);
    Notes();
    EXPECT_EQ(SceneResult(), kSceneTitle);
    EXPECT_EQ(g_keyLatch, 0);
    EXPECT_EQ(Texts(Notes()).size(), 6u) << "the leaving frame still draws the whole screen";
}

}  // namespace
