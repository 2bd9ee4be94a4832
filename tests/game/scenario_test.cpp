// Behaviour that spans frames, run headless as the real program from short
// scripts: a move played out, a pause in the middle of it, retiring, ESC from
// every scene, and a pause latch carried into the next run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/sim/sim_harness.h"

namespace {

using simtest::Json;

constexpr int kHp = 0, kStrength = 1, kX = 6, kY = 10;
constexpr int kTomogui = 2;
enum MoveField { kKeyLatch = 0, kActive = 1, kPhase = 2, kPhaseTick = 3 };

simtest::SimRun RunScript(const std::string& script, bool draws) {
    testsupport::TempFolder dir("kawauo-sim");
    simtest::WriteTestPictures(dir.path());
    return simtest::RunSim(script, dir.path(),
                           draws ? std::vector<std::string>{"--draws"} : std::vector<std::string>{});
}

// Which tomogui picture (1 to 3) a frame drew, 0 for none; whether its
// message line was drawn.
int TomoguiPicture(const Json& frame) {
    int picture = 0;
    for (const Json& draw : frame["draws"]) {
        if (draw[0] != "keyed" || !draw[1].is_string()) continue;
        const std::string name = draw[1];
        if (name.rfind("bmp\\tomogui", 0) == 0) picture = name[11] - '0';
    }
    return picture;
}
bool DrewTextAt(const Json& frame, int x, int y) {
    for (const Json& draw : frame["draws"])
        if (draw[0] == "text" && draw[1] == x && draw[2] == y) return true;
    return false;
}

// Title, new game, a tomogui played out at 16 ms a frame, then the same move
// again with a pause in the middle, retiring, the result and the title.
constexpr const char* kMoveRun = R"(
seed 99
tick 200000
frames 1          # 1      title
down SPACE
frames 1          # 2
up SPACE
frames 1          # 3      released
frames 1          # 4      new game
frames 2          # 5-6    play
down F2
frames 1          # 7      F2 held
up F2
frames 30         # 8-37   released: the move starts and plays out
down F2
frames 1          # 38
up F2
frames 3          # 39-41  second run of the move
down SPACE
frames 1          # 42
up SPACE
frames 1          # 43     paused from the next frame
frames 20         # 44-63  paused, 320 ms
down SPACE
frames 1          # 64
up SPACE
frames 1          # 65     released: playing from the next frame
frames 3          # 66-68
down TAB
frames 1          # 69
up TAB
frames 1          # 70     retired
frames 2          # 71-72  result
down SPACE
frames 1          # 73
up SPACE
frames 1          # 74     back to the title
frames 1          # 75
)";

class MoveRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() { run_ = new simtest::SimRun(RunScript(kMoveRun, true)); }
    static void TearDownTestSuite() { delete run_; }
    static const Json& Frame(int n) { return run_->frames.at(static_cast<size_t>(n) - 1); }
    static int Move(int n, MoveField field) { return Frame(n)["moves"][kTomogui][field].get<int>(); }
    static int Fish(int n, int field) { return Frame(n)["fish"][field].get<int>(); }
    static simtest::SimRun* run_;
};
simtest::SimRun* MoveRun::run_ = nullptr;

TEST_F(MoveRun, RunsThroughEveryScene) {
    ASSERT_EQ(run_->frames.size(), 75u) << simtest::Describe(*run_);
    EXPECT_EQ(run_->status, 0) << simtest::Describe(*run_);
    const int scenes[][2] = {{1, 0}, {3, 1}, {4, 2}, {69, 2}, {70, 3}, {73, 3}, {74, 0}, {75, 0}};
    for (const auto& [frame, scene] : scenes) EXPECT_EQ(Frame(frame)["scene"], scene) << "frame " << frame;
}

TEST_F(MoveRun, MovePlaysThreePicturesAndThenItsEffect) {
    ASSERT_EQ(run_->frames.size(), 75u) << simtest::Describe(*run_);
    EXPECT_EQ(Move(7, kKeyLatch), 1);
    EXPECT_EQ(Move(7, kActive), 0) << "not while F2 is held";
    EXPECT_EQ(Move(8, kActive), 1);
    EXPECT_EQ(Move(8, kKeyLatch), 0);
    EXPECT_EQ(Move(8, kPhaseTick), Frame(8)["tick"]);
    // At 16 ms a frame a phase ends in the first frame 112 ms after it began:
    // the starting frame and 7 more show picture 1, then 7 frames each show
    // pictures 2 and 3; the effect frame shows the message but no picture.
    const int lastFrameOf[] = {15, 22, 29};
    for (int n = 8; n <= 30; ++n) {
        const int expected = n <= lastFrameOf[0] ? 1 : n <= lastFrameOf[1] ? 2 : n <= lastFrameOf[2] ? 3 : 0;
        EXPECT_EQ(TomoguiPicture(Frame(n)), expected) << "frame " << n;
        EXPECT_TRUE(DrewTextAt(Frame(n), 0, 420)) << "message, frame " << n;
    }
    EXPECT_EQ(Move(29, kPhase), 3);
    EXPECT_EQ(Move(29, kActive), 1);
    EXPECT_EQ(Move(30, kActive), 0) << "the effect frame ends the move";
    EXPECT_FALSE(DrewTextAt(Frame(31), 0, 420));
    EXPECT_EQ(TomoguiPicture(Frame(31)), 0);
    // The picture stands where the fish is.
    for (const Json& draw : Frame(10)["draws"]) {
        if (draw[0] == "keyed" && draw[1] == "bmp\\tomogui1.bmp") {
            EXPECT_EQ(draw[2], Fish(10, kX));
            EXPECT_EQ(draw[3], Fish(10, kY));
        }
    }
}

TEST_F(MoveRun, EffectRaisesPollutionAndHp) {
    ASSERT_EQ(run_->frames.size(), 75u) << simtest::Describe(*run_);
    const Json& before = Frame(29);
    const Json& effect = Frame(30);
    const bool rose = effect["pollutionTick"] != before["pollutionTick"];
    const bool drained = effect["drainTick"] != before["drainTick"];
    const int excess = before["pollution"].get<int>() - Fish(29, kStrength);
    ASSERT_GE(excess, 10);
    const int pollutionGain = effect["pollution"].get<int>() - before["pollution"].get<int>();
    EXPECT_GE(pollutionGain, rose ? 21 : 20);
    EXPECT_LE(pollutionGain, rose ? 34 : 29);
    // The frame's drain takes the excess after the move's rise.
    const int drain = drained ? effect["pollution"].get<int>() - Fish(30, kStrength) : 0;
    const int hpGain = Fish(30, kHp) - Fish(29, kHp) + drain;
    EXPECT_GE(hpGain, 3 * excess);
    EXPECT_LE(hpGain, 3 * excess + 149);
}

TEST_F(MoveRun, PauseFreezesTheMoveAndItGoesOnOnePhaseAtATime) {
    ASSERT_EQ(run_->frames.size(), 75u) << simtest::Describe(*run_);
    EXPECT_EQ(Move(39, kActive), 1) << "started again by the second press";
    EXPECT_EQ(Frame(44)["paused"], 1);
    for (int n = 45; n <= 64; ++n) {
        EXPECT_EQ(Frame(n)["moves"], Frame(44)["moves"]) << "frame " << n;
        EXPECT_EQ(TomoguiPicture(Frame(n)), 0) << "frame " << n;
        EXPECT_FALSE(DrewTextAt(Frame(n), 0, 420)) << "frame " << n;
    }
    const int frozen = Move(65, kPhase);
    EXPECT_EQ(Frame(66)["paused"], 0);
    EXPECT_EQ(Move(66, kPhase), frozen + 1) << "one phase in the first frame after the pause";
    EXPECT_EQ(Move(67, kPhase), frozen + 1) << "and the next takes its normal time";
}

TEST_F(MoveRun, RetiringLeadsToTheResultAndSpaceToTheTitle) {
    ASSERT_EQ(run_->frames.size(), 75u) << simtest::Describe(*run_);
    EXPECT_EQ(Frame(69)["keyLatch"], 1);
    EXPECT_EQ(Frame(70)["keyLatch"], 0);
    EXPECT_EQ(Frame(72)["pollution"], Frame(70)["pollution"]) << "the result keeps the run's figures";
    EXPECT_EQ(Fish(72, kHp), Fish(70, kHp));
    EXPECT_EQ(Frame(73)["keyLatch"], 1);
    EXPECT_EQ(Frame(74)["keyLatch"], 0);
}

// ESC ends the program from every scene, before another frame is drawn.
TEST(EscapeTest, EndsTheProgramFromEveryScene) {
    struct Row {
        const char* name;
        const char* script;
        size_t frames;
        int scene;
    };
    const Row rows[] = {
        {"title", "frames 2\ndown ESCAPE\nframes 5\n", 2, 0},
        {"new game", "frames 1\ndown SPACE\nframes 1\nup SPACE\nframes 1\ndown ESCAPE\nframes 5\n", 3, 1},
        {"play", "down SPACE\nframes 1\nup SPACE\nframes 4\ndown ESCAPE\nframes 5\n", 5, 2},
        {"paused play",
         "down SPACE\nframes 1\nup SPACE\nframes 3\ndown SPACE\nframes 1\nup SPACE\nframes 3\n"
         "down ESCAPE\nframes 5\n",
         8, 2},
        {"result",
         "down SPACE\nframes 1\nup SPACE\nframes 3\ndown TAB\nframes 1\nup TAB\nframes 2\n"
         "down ESCAPE\nframes 5\n",
         7, 3},
    };
    for (const Row& row : rows) {
        const simtest::SimRun run = RunScript(std::string("seed 5\ntick 1000\n") + row.script, false);
        EXPECT_EQ(run.status, 0) << row.name << ": " << simtest::Describe(run);
        ASSERT_EQ(run.frames.size(), row.frames) << row.name << ": " << simtest::Describe(run);
        EXPECT_EQ(run.frames.back()["scene"], row.scene) << row.name;
        ASSERT_FALSE(run.lines.empty());
        EXPECT_EQ(run.lines.back(), Json::parse(R"({"event":"exit","code":0})")) << row.name;
    }
    // The paused row really was paused when ESC came.
    const simtest::SimRun paused = RunScript(std::string("seed 5\ntick 1000\n") + rows[3].script, false);
    ASSERT_EQ(paused.frames.size(), 8u) << simtest::Describe(paused);
    EXPECT_EQ(paused.frames.back()["paused"], 1);
}

// A run retired while SPACE is held leaves the pause latch set: the next run
// pauses in its first running frame.
TEST(PauseLatchTest, CarriesIntoTheNextRun) {
    const char* script = R"(
seed 7
tick 5000
down SPACE
frames 1          # 1  title
up SPACE
frames 1          # 2  released
frames 2          # 3-4 new game, play
down SPACE
frames 1          # 5  SPACE held in play
down TAB
frames 1          # 6
up TAB
frames 1          # 7  retired with SPACE still held
frames 2          # 8-9 result, SPACE held: its latch is set
up SPACE
frames 1          # 10 released: title
down SPACE
frames 1          # 11
up SPACE
frames 1          # 12 released: new game next
frames 1          # 13 new game
frames 2          # 14-15
)";
    const simtest::SimRun run = RunScript(script, false);
    ASSERT_EQ(run.frames.size(), 15u) << simtest::Describe(run);
    auto frame = [&](int n) -> const Json& { return run.frames.at(static_cast<size_t>(n) - 1); };
    EXPECT_EQ(frame(7)["scene"], 3);
    EXPECT_EQ(frame(7)["pauseLatch"], 1);
    EXPECT_EQ(frame(10)["scene"], 0) << "the result left on SPACE's release";
    EXPECT_EQ(frame(13)["scene"], 2);
    EXPECT_EQ(frame(13)["paused"], 0);
    EXPECT_EQ(frame(14)["paused"], 1) << "the first play frame finds SPACE up with the old latch";
    EXPECT_EQ(frame(14)["pauseLatch"], 0);
}

}  // namespace
