// The sim's script parser: what each line becomes, and which lines are refused.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "player/options.h"
#include "player/run_link.h"
#include "player/version.h"
#include "sim/script.h"
#include "tests/support/support.h"
#include "winapi/fault.h"
#include "winapi/win.h"

namespace {

using sim::Op;

struct GoodLine {
    const char* text;
    Op op;
    int64_t number;
    const char* name;
};

class GoodLines : public ::testing::TestWithParam<GoodLine> {};

TEST_P(GoodLines, ParseToTheirCommand) {
    const GoodLine& c = GetParam();
    // Every line is preceded by a `frames`, so `seed` and `shot` are checked
    // on their own merits where the order allows them (`lang` as `seed`).
    bool isSeed =
        std::string(c.text).rfind("seed", 0) == 0 || std::string(c.text).rfind("lang", 0) == 0;
    std::string script =
        isSeed ? std::string(c.text) + "\nframes 1\n" : "frames 1\n" + std::string(c.text) + "\n";
    std::vector<sim::Command> commands;
    sim::ScriptError error{};
    ASSERT_TRUE(sim::ParseScript(script, true, &commands, &error))
        << c.text << ": line " << error.line << ": " << error.message;
    ASSERT_EQ(commands.size(), 2u);
    const sim::Command& command = commands[isSeed ? 0 : 1];
    EXPECT_EQ(command.op, c.op) << c.text;
    EXPECT_EQ(command.number, c.number) << c.text;
    EXPECT_EQ(command.name, c.name) << c.text;
    EXPECT_EQ(command.line, isSeed ? 1 : 2) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Script, GoodLines,
    ::testing::Values(
        GoodLine{"seed 0", Op::Seed, 0, ""}, GoodLine{"seed 1700000000", Op::Seed, 1700000000, ""},
        GoodLine{"seed -5", Op::Seed, -5, ""},
        GoodLine{"seed -9223372036854775808", Op::Seed, INT64_MIN, ""},
        GoodLine{"seed 9223372036854775807", Op::Seed, INT64_MAX, ""},
        GoodLine{"lang ja", Op::Lang, static_cast<int64_t>(winapi::texts::Language::kJapanese), ""},
        GoodLine{"lang en", Op::Lang, static_cast<int64_t>(winapi::texts::Language::kEnglish), ""},
        GoodLine{"tick 0", Op::Tick, 0, ""},
        GoodLine{"tick 4294967295", Op::Tick, 4294967295ll, ""},
        GoodLine{"tick 0xFFFFFFFF", Op::Tick, 4294967295ll, ""},
        GoodLine{"step 0", Op::Step, 0, ""}, GoodLine{"step 33", Op::Step, 33, ""},
        GoodLine{"frames 1", Op::Frames, 1, ""},
        GoodLine{"frames 2147483647", Op::Frames, 2147483647, ""},
        GoodLine{"down SPACE", Op::Down, VK_SPACE, ""}, GoodLine{"down TAB", Op::Down, VK_TAB, ""},
        GoodLine{"down ESCAPE", Op::Down, VK_ESCAPE, ""},
        GoodLine{"down LEFT", Op::Down, VK_LEFT, ""}, GoodLine{"down UP", Op::Down, VK_UP, ""},
        GoodLine{"down RIGHT", Op::Down, VK_RIGHT, ""}, GoodLine{"up DOWN", Op::Up, VK_DOWN, ""},
        GoodLine{"up F1", Op::Up, VK_F1, ""}, GoodLine{"up F2", Op::Up, VK_F2, ""},
        GoodLine{"up F3", Op::Up, VK_F3, ""}, GoodLine{"activate 0", Op::Activate, 0, ""},
        GoodLine{"activate 1", Op::Activate, 1, ""}, GoodLine{"lose", Op::Lose, 0, ""},
        GoodLine{"close", Op::Close, 0, ""},
        GoodLine{"shot title-1.b_2", Op::Shot, 0, "title-1.b_2"},
        GoodLine{"fail SetClipper 0x88760096", Op::Fail, 0x88760096ll, "SetClipper"},
        GoodLine{"fail GetDC -2147467259", Op::Fail, -2147467259ll, "GetDC"},
        GoodLine{"fail CreateSurface 0", Op::Fail, 0, "CreateSurface"},
        GoodLine{"fail Lock 4294967295", Op::Fail, 4294967295ll, "Lock"},
        GoodLine{"fail LoadImageA -2147483648", Op::Fail, INT32_MIN, "LoadImageA"},
        GoodLine{"  \tframes\t 3  # the rest is a comment", Op::Frames, 3, ""},
        GoodLine{"close\r", Op::Close, 0, ""}));

struct BadScript {
    const char* script;
    int line;
    const char* fragment;  // expected somewhere in the message
};

class BadScripts : public ::testing::TestWithParam<BadScript> {};

TEST_P(BadScripts, NameTheFirstBadLineAndYieldNothing) {
    const BadScript& c = GetParam();
    std::vector<sim::Command> commands = {sim::Command{Op::Close, 99, 0, "", {}}};
    sim::ScriptError error{};
    EXPECT_FALSE(sim::ParseScript(c.script, true, &commands, &error)) << c.script;
    EXPECT_EQ(error.line, c.line) << c.script << "\nmessage: " << error.message;
    EXPECT_NE(error.message.find(c.fragment), std::string::npos)
        << "expected \"" << c.fragment << "\" in \"" << error.message << "\"";
    EXPECT_EQ(commands.size(), 1u) << "the caller's commands were replaced on a bad script";
}

INSTANTIATE_TEST_SUITE_P(
    Script, BadScripts,
    ::testing::Values(
        BadScript{"jump 3\n", 1, "unknown command 'jump'"},
        BadScript{"frames 1\n\n# fine\nFRAMES 2\n", 4, "unknown command 'FRAMES'"},
        BadScript{"frames\n", 1, "'frames' takes one argument"},
        BadScript{"frames 1 2\n", 1, "'frames' takes one argument"},
        BadScript{"close now\n", 1, "'close' takes no argument"},
        BadScript{"fail SetClipper\n", 1, "'fail' takes two arguments"},
        BadScript{"frames 0\n", 1, "out of range 1..2147483647"},
        BadScript{"frames 2147483648\n", 1, "out of range"},
        BadScript{"frames -1\n", 1, "out of range"},
        BadScript{"frames 1x\n", 1, "not a number: '1x'"},
        BadScript{"frames +1\n", 1, "not a number"}, BadScript{"frames 0x\n", 1, "not a number"},
        BadScript{"tick 4294967296\n", 1, "out of range 0..4294967295"},
        BadScript{"tick -1\n", 1, "out of range"},
        BadScript{"step 0x100000000\n", 1, "out of range"},
        BadScript{"seed 9223372036854775808\n", 1, "out of range"},
        BadScript{"seed -9223372036854775809\n", 1, "out of range"},
        BadScript{"tick 99999999999999999999999\n", 1, "out of range"},
        BadScript{"activate 2\n", 1, "out of range 0..1"},
        BadScript{"down A\n", 1, "unknown key 'A'"},
        BadScript{"up space\n", 1, "unknown key 'space'"},
        BadScript{"fail Frobnicate 1\n", 1, "unknown platform call 'Frobnicate'"},
        BadScript{"fail Lock 4294967296\n", 1, "out of range -2147483648..4294967295"},
        BadScript{"fail Lock -2147483649\n", 1, "out of range"},
        BadScript{"fail Lock twelve\n", 1, "not a number"},
        BadScript{"frames 1\nseed 5\n", 2, "'seed' must come before the first 'frames'"},
        BadScript{"frame 9\nlang en\n", 2, "'lang' must come before the first 'frames'"},
        BadScript{"lang fr\n", 1, "unknown language 'fr' (ja or en)"},
        BadScript{"lang\n", 1, "'lang' takes one argument"},
        BadScript{"shot early\nframes 1\n", 1, "before the first 'frames'"},
        BadScript{"frames 1\nshot ../escape\n", 2, "bad shot name"},
        BadScript{"frames 1\nshot .hidden\n", 2, "bad shot name"},
        BadScript{"frames 1\nshot a/b\n", 2, "bad shot name"},
        BadScript{"frames 2\r\ntick 5\r\nstep x\r\n", 3, "not a number: 'x'"},
        BadScript{"frame\n", 1, "'frame' takes 1 to 64 readings"},
        BadScript{
            "frame 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 "
            "30 31 32 33 34 35 36 37 38 39 40 41 42 43 44 45 46 47 48 49 50 51 52 53 54 55 56 "
            "57 58 59 60 61 62 63 64 65\n",
            1, "'frame' takes 1 to 64 readings"},
        BadScript{"frame 5 4294967296\n", 1, "out of range 0..4294967295"},
        BadScript{"frame 1\nseed 5\n", 2, "'seed' must come before"},
        BadScript{"seed 1\nrecording 1 kawauo " KAWAUO_VERSION "\n", 2, "first line only"},
        BadScript{"tick 1 # \x01 in a comment is fine\nfr\tame\x02\n", 2,
                  "byte 0x02 at column 7"}));

// A recording's frames carry the clock's readings in turn; its last line
// must be whole, which a plain script's need not be.
TEST(Script, RecordingFramesAndTheirWholeLastLine) {
    std::vector<sim::Command> commands;
    sim::ScriptError error{};
    const std::string header = "recording 1 kawauo " KAWAUO_VERSION "\n";
    ASSERT_TRUE(
        sim::ParseScript(header + "seed 3\nframe 7 8 8\ndown UP\n", false, &commands, &error))
        << error.message;
    ASSERT_EQ(commands.size(), 3u) << "the header is no command";
    EXPECT_EQ(commands[1].op, Op::Frame);
    EXPECT_EQ(commands[1].line, 3);
    EXPECT_EQ(commands[1].reads, (std::vector<uint32_t>{7, 8, 8}));
    EXPECT_TRUE(sim::ParseScript("seed 3\nframe 7", false, &commands, &error)) << error.message;
    EXPECT_FALSE(sim::ParseScript(header + "frame 7", false, &commands, &error));
    EXPECT_EQ(error.line, 2);
}

// kawauo --play takes what the recorder writes and nothing else: a script's
// commands that steer the platform, or a file without the header, are refused.
TEST(Script, RecordingsHoldOnlyWhatTheRecorderWrites) {
    const std::string header = "recording 1 kawauo " KAWAUO_VERSION "\n";
    std::vector<sim::Command> commands;
    sim::ScriptError error{};
    ASSERT_TRUE(sim::ParseRecording(
        header +
            "lang en\nseed 3\nactivate 1\nframe 7 8\ndown UP\n# a note\nup UP\nclose\nframe 9\n",
        &commands, &error))
        << error.message;
    EXPECT_EQ(commands.size(), 8u);
    const struct {
        std::string text;
        int line;
        const char* fragment;
    } refused[] = {
        {header + "frame 1\nfail SetClipper 0x88760096\n", 3, "'fail' is no line of a recording"},
        {header + "frame 1\nlose\n", 3, "'lose' is no line"},
        {header + "frames 100\n", 2, "'frames' is no line"},
        {header + "tick 5\n", 2, "'tick' is no line"},
        {header + "step 5\n", 2, "'step' is no line"},
        {header + "frame 1\nshot x\n", 3, "'shot' is no line"},
        {"seed 3\nframe 7\n", 1, "not a recording"},
        {"# a recording\n" + header + "frame 7\n", 1, "not a recording"},
        {"", 1, "not a recording"},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(sim::ParseRecording(r.text, nullptr, &error)) << r.text;
        EXPECT_EQ(error.line, r.line) << r.text;
        EXPECT_NE(error.message.find(r.fragment), std::string::npos) << error.message;
    }
}

TEST(Script, ShotNeedsAShotDirectory) {
    std::vector<sim::Command> commands;
    sim::ScriptError error{};
    EXPECT_FALSE(sim::ParseScript("frames 1\nshot title\n", false, &commands, &error));
    EXPECT_EQ(error.line, 2);
    EXPECT_NE(error.message.find("--shots"), std::string::npos) << error.message;
}

TEST(Script, KeepsOrderAndLineNumbersAcrossCommentsAndBlankLines) {
    const char* script =
        "# a title run\n"
        "seed 7\n"
        "\n"
        "tick 100   # start late\n"
        "frames 2\n"
        "   \n"
        "down SPACE\n"
        "frames 1";  // no final line feed
    std::vector<sim::Command> commands;
    sim::ScriptError error{};
    ASSERT_TRUE(sim::ParseScript(script, false, &commands, &error)) << error.message;
    const std::vector<std::pair<Op, int>> expected = {
        {Op::Seed, 2}, {Op::Tick, 4}, {Op::Frames, 5}, {Op::Down, 7}, {Op::Frames, 8}};
    ASSERT_EQ(commands.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(commands[i].op, expected[i].first) << "command " << i;
        EXPECT_EQ(commands[i].line, expected[i].second) << "command " << i;
    }
}

TEST(Script, EmptyScriptIsValid) {
    std::vector<sim::Command> commands = {sim::Command{Op::Close, 1, 0, "", {}}};
    sim::ScriptError error{};
    EXPECT_TRUE(sim::ParseScript("# nothing\n\n", false, &commands, &error));
    EXPECT_TRUE(commands.empty());
}

// Every call the platform can make fail can be named in a script, by the
// name the platform's own table gives it.
TEST(Script, AcceptsEveryFaultThePlatformHonours) {
    for (const winapi::FaultPointName& row : winapi::kFaultPoints) {
        std::vector<sim::Command> commands;
        sim::ScriptError error{};
        ASSERT_TRUE(
            sim::ParseScript(std::string("fail ") + row.name + " 5\n", false, &commands, &error))
            << row.name << ": " << error.message;
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].name, row.name);
    }
}

// A run's link is read wherever a recording is: as the name of the run, or
// alone in the file named; the language the run was played in comes along.
TEST(Script, ALinkIsReadAsTheRecordingItHolds) {
    const std::string recording =
        "recording 1 kawauo " KAWAUO_VERSION "\nlang en\nseed 3\nframe 7\ndown UP\nframe 24\n";
    std::string link, why;
    ASSERT_TRUE(player::run_link::MakeLink(recording, &link, &why)) << why;
    testsupport::TempFolder folder("kawauo-link");
    const auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
        return folder / name;
    };
    for (const std::string& name :
         {link, write("run.link", link + "\r\n"), write("bare.link", "  " + link)}) {
        SCOPED_TRACE(name);
        sim::Script script;
        ASSERT_TRUE(sim::LoadScript(name, sim::ScriptKind::kRecording, &script, &why)) << why;
        EXPECT_EQ(std::string(script.text.begin(), script.text.end()), recording);
        EXPECT_EQ(script.language, winapi::texts::Language::kEnglish);
    }
    const std::string cut = link.substr(0, link.size() - 6);
    const struct {
        std::string name;
        std::string why;
    } refused[] = {
        {cut, "link " + player::options::Shown(cut) + ": truncated"},
        {write("cut.link", cut + "\n"), folder / "cut.link" + ": its link: truncated"},
        {write("two.link", link + "\n" + link + "\n"), folder / "two.link" + ":1: not a recording"},
        {"https://kawauo.example.org/", "link https://kawauo.example.org/: no run in it"},
    };
    for (const auto& r : refused) {
        sim::Script script;
        EXPECT_FALSE(sim::LoadScript(r.name, sim::ScriptKind::kRecording, &script, &why)) << r.name;
        EXPECT_EQ(why.rfind(r.why, 0), 0u) << "expected \"" << r.why << "\", got \"" << why << "\"";
    }
    sim::Script script;
    ASSERT_TRUE(sim::LoadScript(write("ja.sim", "seed 3\nframes 2\n"), sim::ScriptKind::kScript,
                                &script, &why));
    EXPECT_EQ(script.language, std::nullopt)
        << "a script that names none leaves the choice to the command line";
}

// Standard input that cannot be read is told with the system's reason.
TEST(Script, StandardInputThatCannotBeReadSaysWhy) {
    const int saved = dup(0);
    const int folder = open("/", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    dup2(folder, 0);
    sim::Script script;
    std::string why;
    const bool loaded = sim::LoadScript("-", sim::ScriptKind::kScript, &script, &why);
    dup2(saved, 0);
    close(saved);
    close(folder);
    std::clearerr(stdin);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(why, "cannot read standard input: Is a directory");
}

}  // namespace
