// Recordings of real play kept as regression runs, replayed by kawauo-sim
// with the game's own pictures: each must reach its result screen with the
// figures it showed. Damaged recordings are refused before a frame is played.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "player/version.h"
#include "tests/sim/sim_harness.h"

namespace {

using simtest::Json;
using simtest::SimRun;

// A working directory holding the game's pictures, as a player has them.
class Replay : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory_symlink(KAWAUO_SOURCE_DIR "/bmp", dir_.path() + "/bmp");
    }
    SimRun Play(const std::string& recording) {
        return simtest::RunSim(recording, dir_.path(), {"--draws"});
    }
    static std::string Kept(const std::string& name) {
        return testsupport::ReadText(KAWAUO_SOURCE_DIR "/tests/replays/" + name);
    }
    testsupport::TempFolder dir_{"kawauo-sim"};
};

constexpr int kResultScene = 3;

// The texts of the last frame of the result screen, one a line.
std::string ResultTexts(const SimRun& run) {
    std::string texts;
    for (auto f = run.frames.rbegin(); f != run.frames.rend() && texts.empty(); ++f) {
        if ((*f)["scene"] != kResultScene) continue;
        for (const Json& draw : (*f)["draws"]) {
            if (draw[0] == "text") texts += draw[4].get<std::string>() + "\n";
        }
    }
    return texts;
}

TEST_F(Replay, KeptRunsShowTheirResultScreens) {
    for (const char* name : {"retire", "spent", "twice"}) {
        SCOPED_TRACE(name);
        SimRun run = Play(Kept(std::string(name) + ".rec"));
        ASSERT_EQ(run.status, 0) << simtest::Describe(run);
        EXPECT_EQ(run.frames.back()["scene"], kResultScene) << "the run ended on its result screen";
        EXPECT_EQ(ResultTexts(run), Kept(std::string(name) + ".result"));
    }
}

// A kept run's link, printed by kawauo-sim --link, gives the recording back
// byte for byte (--recording, from the link and from a file holding it) and
// replays to the recording's trace; one run a test, each in its own time.
class KeptLink : public Replay, public ::testing::WithParamInterface<const char*> {
protected:
    // What kawauo-sim prints for `args` and the run named `given`.
    std::string Printed(const std::vector<std::string>& args, const std::string& input,
                        const std::string& given) {
        const std::string printed = dir_ / "printed";
        std::ofstream(printed, std::ios::trunc).flush();
        const SimRun run = simtest::RunSim(input, dir_.path(), args, {}, {"", printed, given});
        EXPECT_EQ(run.status, 0) << simtest::Describe(run);
        return testsupport::ReadText(printed);
    }
};

TEST_P(KeptLink, ComesBackWholeAndPlaysTheSame) {
    const std::string recording = Kept(std::string(GetParam()) + ".rec");
    std::string link = Printed({"--link"}, recording, "");
    ASSERT_FALSE(link.empty());
    ASSERT_EQ(link.back(), '\n') << "one line";
    link.pop_back();
    std::ofstream(dir_ / "run.link") << link << "\n";
    EXPECT_EQ(Printed({"--recording"}, "", link), recording);
    EXPECT_EQ(Printed({"--recording"}, "", dir_ / "run.link"), recording);

    const SimRun played = Play(recording);
    const SimRun linked = simtest::RunSim("", dir_.path(), {"--draws"}, {}, {"", "", link});
    ASSERT_EQ(linked.status, 0) << simtest::Describe(linked);
    EXPECT_FALSE(played.frames.empty());
    EXPECT_TRUE(linked.lines == played.lines) << "the trace through the link differs";
}

INSTANTIATE_TEST_SUITE_P(Replay, KeptLink, ::testing::Values("retire", "spent", "twice"));

// The new-game frame reads the clock four times after the frame's own read:
// a recorded frame gives each read its value in turn, the last one staying.
TEST_F(Replay, EachReadOfTheClockInAFrameHasItsRecordedValue) {
    SimRun run = Play(
        "seed 1\nframes 3\ndown SPACE\nframes 2\nup SPACE\nframes 1\nframe 1000 2000 3000\nframes "
        "1\n");
    ASSERT_EQ(run.status, 0) << simtest::Describe(run);
    ASSERT_GE(run.frames.size(), 8u);
    const Json& newGame = run.frames[6];
    EXPECT_EQ(newGame["tick"], 1000);
    EXPECT_EQ(newGame["fish"][3], 2000) << "distanceTick";
    EXPECT_EQ(newGame["fish"][4], 3000) << "animTick";
    EXPECT_EQ(newGame["fish"][5], 3000) << "moveTick";
    EXPECT_EQ(newGame["thoughtTick"], 3000);
    EXPECT_EQ(run.frames[7]["tick"], 3016) << "the step goes on from the last reading";
}

TEST_F(Replay, DamagedRecordingsAreRefusedWithTheirLineBeforeAnyFrame) {
    const std::string whole = Kept("retire.rec");
    const size_t header = whole.find('\n') + 1;
    const size_t third = whole.find('\n', whole.find('\n', header) + 1) + 1;  // start of line 4
    const size_t cut = whole.rfind('\n', whole.size() - 2) + 3;  // two bytes into the last line
    const int lines = static_cast<int>(std::count(whole.begin(), whole.end(), '\n'));
    struct Case {
        const char* what;
        std::string recording;
        std::string where;  // "-:LINE: ..." as printed for standard input
    } cases[] = {
        {"cut in the middle of its last line", whole.substr(0, cut),
         "-:" + std::to_string(lines) + ": cut short"},
        {"made by another version", "recording 1 kawauo 0.9.0\n" + whole.substr(header),
         "-:1: recorded by kawauo 0.9.0"},
        {"of a format this game does not know",
         "recording 2 kawauo " KAWAUO_VERSION "\n" + whole.substr(header),
         "-:1: not a recording this game knows"},
        {"binary junk in a line", whole.substr(0, third) + "fr\x01\xff\x7f\n" + whole.substr(third),
         "-:4: not text: byte 0x01 at column 3"},
        {"a clock reading that is no number",
         whole.substr(0, third) + "frame 12 1x\n" + whole.substr(third),
         "-:4: 'frame': not a number: '1x'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimRun run = Play(c.recording);
        EXPECT_EQ(run.status, 2) << simtest::Describe(run);
        EXPECT_NE(run.errors.find(c.where), std::string::npos)
            << "expected \"" << c.where << "\" in: " << run.errors;
        EXPECT_TRUE(run.lines.empty()) << "nothing may be played";
    }
}

}  // namespace
