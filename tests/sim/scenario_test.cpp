// A whole visit, run headless as the real program: the title, a new game,
// swimming, a pause, retiring, the result screen and back to the title.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/sim/sim_harness.h"

namespace {

using simtest::Json;

// Each `frames` line is followed by the frame numbers it covers.
constexpr const char* kVisit = R"(
seed 1234
tick 100000
frames 2          # 1-2    title
down SPACE
frames 1          # 3      title, SPACE held
up SPACE
frames 1          # 4      SPACE released: on to a new game
frames 1          # 5      new game
down RIGHT
frames 10         # 6-15   swimming right
up RIGHT
down SPACE
frames 1          # 16     SPACE held while playing
up SPACE
frames 1          # 17     released: paused from here on
frames 5          # 18-22  paused
down SPACE
frames 1          # 23
up SPACE
frames 1          # 24     released: playing again from the next frame
frames 2          # 25-26  playing
down TAB
frames 1          # 27     TAB held: still playing
up TAB
frames 1          # 28     released: retired, the result screen is next
frames 3          # 29-31  result
down SPACE
frames 1          # 32
up SPACE
frames 1          # 33     released: back to the title
frames 2          # 34-35  title
)";

class Visit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testsupport::TempFolder dir("kawauo-sim");
        simtest::WriteTestPictures(dir.path());
        run_ = new simtest::SimRun(simtest::RunSim(kVisit, dir.path()));
    }
    static void TearDownTestSuite() { delete run_; }
    // Frame n (1-based) of the trace.
    static const Json& Frame(int n) { return run_->frames.at(static_cast<size_t>(n) - 1); }
    static int Fish(int n, int field) { return Frame(n)["fish"][field].get<int>(); }
    static simtest::SimRun* run_;
};
simtest::SimRun* Visit::run_ = nullptr;

constexpr int kHp = 0, kStrength = 1, kDistanceTick = 3, kAnimTick = 4, kMoveTick = 5, kX = 6,
              kY = 10, kDistance = 14, kMutationCount = 15;

TEST_F(Visit, RunsToTheEndAndExitsCleanly) {
    EXPECT_EQ(run_->status, 0) << simtest::Describe(*run_);
    ASSERT_EQ(run_->frames.size(), 35u) << simtest::Describe(*run_);
    ASSERT_EQ(run_->events.size(), 1u) << simtest::Describe(*run_);
    EXPECT_EQ(run_->lines.back(), Json::parse(R"({"event":"exit","code":0})"));
}

TEST_F(Visit, GoesThroughTheScenesInOrder) {
    ASSERT_EQ(run_->frames.size(), 35u) << simtest::Describe(*run_);
    std::vector<int> expected;
    auto add = [&](int count, int scene) { expected.insert(expected.end(), count, scene); };
    add(3, 0);   // title, SPACE held
    add(1, 1);   // released: the new game follows
    add(23, 2);  // new game done; playing, paused, playing, TAB held
    add(1, 3);   // TAB released
    add(4, 3);   // result, SPACE held
    add(1, 0);   // SPACE released
    add(2, 0);   // title
    std::vector<int> scenes;
    for (const Json& f : run_->frames) scenes.push_back(f["scene"].get<int>());
    EXPECT_EQ(scenes, expected);
}

TEST_F(Visit, NewGameSetsUpTheFish) {
    ASSERT_GE(run_->frames.size(), 5u) << simtest::Describe(*run_);
    const Json& f = Frame(5);
    int tick = f["tick"];
    Json fish = Json::array({5000, 900, 1, tick, tick, tick, 1, 10, 0, 170, 310, 10, 0, 170, 0, 0});
    EXPECT_EQ(f["fish"], fish);
    EXPECT_EQ(f["pollution"], 1000);
    EXPECT_EQ(f["paused"], 0);
    EXPECT_EQ(f["mutation"], Json(std::vector<int>(9, 0)));
    EXPECT_EQ(f["objectActive"], Json(std::vector<int>(6, 0)));
    EXPECT_EQ(f["keyLatch"], 0);
}

TEST_F(Visit, SwimsRightWhileTheKeyIsHeld) {
    ASSERT_GE(run_->frames.size(), 16u) << simtest::Describe(*run_);
    // At 16 ms a frame the 30 ms movement step comes every other frame: five
    // steps of 10 pixels in frames 6 to 15.
    EXPECT_EQ(Fish(15, kX), 51);
    EXPECT_EQ(Fish(15, kY), 310);
    for (int n = 6; n <= 15; ++n) {
        EXPECT_GE(Fish(n, kX), Fish(n - 1, kX)) << "frame " << n;
    }
    EXPECT_GT(Fish(15, kDistance), 0) << "no distance swum in 160 ms";
}

TEST_F(Visit, PauseFreezesPlay) {
    ASSERT_GE(run_->frames.size(), 26u) << simtest::Describe(*run_);
    EXPECT_EQ(Frame(16)["paused"], 0);
    EXPECT_EQ(Frame(16)["pauseLatch"], 1);
    EXPECT_EQ(Frame(17)["paused"], 1);
    EXPECT_EQ(Frame(17)["pauseLatch"], 0);
    // Frames 18 to 24 are paused ones: the clock runs, play does not.
    for (int n = 18; n <= 24; ++n) {
        const Json& f = Frame(n);
        EXPECT_EQ(f["paused"], n < 24 ? 1 : 0) << "frame " << n;
        EXPECT_GT(f["tick"].get<int>(), Frame(n - 1)["tick"].get<int>()) << "frame " << n;
        for (int field : {kHp, kStrength, kDistanceTick, kAnimTick, kMoveTick, kX, kY, kDistance,
                          kMutationCount}) {
            EXPECT_EQ(Fish(n, field), Fish(17, field)) << "frame " << n << ", fish field " << field;
        }
        for (const char* key : {"pollution", "pollutionTick", "drainTick", "thought", "thoughtTick",
                                "moves", "drift", "mutation"}) {
            EXPECT_EQ(f[key], Frame(17)[key]) << "frame " << n << ", " << key;
        }
    }
    EXPECT_EQ(Frame(23)["pauseLatch"], 1);
    EXPECT_EQ(Frame(24)["pauseLatch"], 0);
    // Playing again: the timers run once more.
    EXPECT_GT(Frame(26)["fish"][kDistanceTick].get<int>(), Fish(24, kDistanceTick));
}

TEST_F(Visit, RetiringNeedsTabReleasedAndLeavesTheLatchClear) {
    ASSERT_GE(run_->frames.size(), 33u) << simtest::Describe(*run_);
    EXPECT_EQ(Frame(27)["keyLatch"], 1);
    EXPECT_EQ(Frame(27)["scene"], 2);
    EXPECT_EQ(Frame(28)["keyLatch"], 0);
    EXPECT_EQ(Frame(28)["scene"], 3);
    EXPECT_GT(Fish(28, kHp), 0) << "the run ended by HP, not by retiring";
    // The result screen keeps the run's figures, and SPACE leads to the title.
    for (int field : {kHp, kStrength, kDistance, kMutationCount}) {
        EXPECT_EQ(Fish(31, field), Fish(28, field)) << "fish field " << field;
    }
    EXPECT_EQ(Frame(31)["pollution"], Frame(28)["pollution"]);
    EXPECT_EQ(Frame(32)["keyLatch"], 1);
    EXPECT_EQ(Frame(33)["keyLatch"], 0);
}

// The game's state never depends on what the pictures look like: the same
// visit with the game's own pictures gives the same trace.
TEST_F(Visit, PlaysTheSameWithTheGamesOwnPictures) {
    const std::string source = KAWAUO_SOURCE_DIR;
    ASSERT_TRUE(std::filesystem::exists(source + "/bmp/back.bmp")) << "no pictures in " << source;
    simtest::SimRun real = simtest::RunSim(kVisit, source);
    EXPECT_EQ(real.status, 0) << simtest::Describe(real);
    ASSERT_EQ(real.lines.size(), run_->lines.size()) << simtest::Describe(real);
    for (size_t i = 0; i < real.lines.size(); ++i) {
        ASSERT_EQ(real.lines[i], run_->lines[i]) << "first difference at trace line " << i + 1;
    }
}

}  // namespace
