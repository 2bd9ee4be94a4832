// The players' command line: what each argument asks for, and what is refused.
#include "player/options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using player::options::Outcome;

struct Parsed {
    Outcome outcome;
    player::options::Options options;
};

Parsed Parse(std::vector<const char*> args, player::options::Program program = player::options::Program::kGame,
             std::FILE* errors = stderr) {
    args.insert(args.begin(), "kawauo");
    Parsed parsed{};
    parsed.outcome =
        player::options::Parse(program, static_cast<int>(args.size()), args.data(), &parsed.options, errors);
    return parsed;
}

TEST(Options, WhatEachLineAsksFor) {
    struct Row {
        std::vector<const char*> args;
        Outcome outcome;
        std::string expected;  // fullscreen, scale ('-' when unsaid), then p when paused unfocused,
                               // j or e for the language, o for the outline
    };
    const Row rows[] = {
        {{}, Outcome::kRun, "--"},
        {{"--help"}, Outcome::kHelp, "--"},
        {{"-h"}, Outcome::kHelp, "--"},
        {{"-?"}, Outcome::kHelp, "--"},
        {{"/?"}, Outcome::kHelp, "--"},
        {{"--window", "/?"}, Outcome::kHelp, "0-"},
        {{"--window", "--version"}, Outcome::kVersion, "0-"},
        {{"--version", "--help"}, Outcome::kHelp, "--"},
        {{"--window", "--fullscreen"}, Outcome::kRun, "1-"},
        {{"--scale", "fit"}, Outcome::kRun, "-f"},
        {{"--scale=integer"}, Outcome::kRun, "-i"},
        {{"--pause-unfocused", "--window"}, Outcome::kRun, "0-p"},
        {{"--record", "run.sim", "--trace=t.jsonl"}, Outcome::kRun, "--"},
        {{"--lang", "en", "--outline"}, Outcome::kRun, "--eo"},
        {{"--lang=ja"}, Outcome::kRun, "--j"},
        {{"--lang", "fr"}, Outcome::kBad, ""},
        {{"--lang"}, Outcome::kBad, ""},
        {{"--outline=1"}, Outcome::kBad, ""},
        {{"--bogus"}, Outcome::kBad, ""},
        {{"--record", "a", "--play", "b"}, Outcome::kBad, ""},
        {{"--play", ""}, Outcome::kBad, ""},
        {{"game.sav"}, Outcome::kBad, ""},
        {{"--scale"}, Outcome::kBad, ""},
        {{"--scale", "blurry"}, Outcome::kBad, ""},
        {{"--scale="}, Outcome::kBad, ""},
        {{"--window=yes"}, Outcome::kBad, ""},
        {{"--help=1"}, Outcome::kBad, ""},
    };
    for (const Row& row : rows) {
        std::string line;
        for (const char* a : row.args) line += std::string(a) + " ";
        Parsed p = Parse(row.args);
        EXPECT_EQ(p.outcome, row.outcome) << line;
        if (row.outcome == Outcome::kBad) continue;
        const player::options::Options& o = p.options;
        std::string got;
        got += o.fullscreen ? (*o.fullscreen ? '1' : '0') : '-';
        got += o.scale ? (*o.scale == player::options::ScaleMode::kFit ? 'f' : 'i') : '-';
        if (o.pauseUnfocused) got += 'p';
        if (o.lang) got += *o.lang == winapi::texts::Language::kEnglish ? 'e' : 'j';
        if (o.outline) got += 'o';
        EXPECT_EQ(got, row.expected) << line;
    }
}

// One table serves the game, kawauo-sim and the web page: each takes its
// own rows, and nothing of another's.
TEST(Options, EachProgramTakesItsOwnRows) {
    using player::options::Program;
    struct Row {
        Program program;
        std::vector<const char*> args;
        Outcome outcome;
        std::string expected;  // script, shots, trace, then d when the draws are asked for
    };
    const Row rows[] = {
        {Program::kSim, {"--draws", "--shots", "out", "run.sim"}, Outcome::kRun, "run.sim out - d"},
        {Program::kSim, {"-", "--trace=t.jsonl", "--lang", "en"}, Outcome::kRun, "- - t.jsonl"},
        {Program::kSim, {"--help"}, Outcome::kHelp, ""},
        {Program::kSim, {}, Outcome::kBad, ""},
        {Program::kSim, {"a.sim", "b.sim"}, Outcome::kBad, ""},
        {Program::kSim, {"--window", "a.sim"}, Outcome::kBad, ""},
        {Program::kSim, {"--version", "a.sim"}, Outcome::kBad, ""},
        {Program::kSim, {"--shots", "", "a.sim"}, Outcome::kBad, ""},
        {Program::kSim, {"--link", "run.rec"}, Outcome::kRun, "run.rec - - link"},
        {Program::kSim, {"--recording", "https://x/#run=a"}, Outcome::kRun, "https://x/#run=a - - recording"},
        {Program::kSim, {"--link"}, Outcome::kBad, ""},
        {Program::kSim, {"--link", "--recording", "a"}, Outcome::kBad, ""},
        {Program::kSim, {"--link", "--trace", "t", "a"}, Outcome::kBad, ""},
        {Program::kSim, {"--recording", "--draws", "a"}, Outcome::kBad, ""},
        {Program::kSim, {"--link", "--shots", "o", "a"}, Outcome::kBad, ""},
        {Program::kGame, {"--link", "a.rec"}, Outcome::kBad, ""},
        {Program::kWeb, {"--script", "/run.sim"}, Outcome::kRun, "/run.sim - -"},
        {Program::kWeb, {"--trace", "/trace.jsonl"}, Outcome::kRun, "- - /trace.jsonl"},
        {Program::kWeb, {"--draws"}, Outcome::kBad, ""},
        {Program::kWeb, {"--window"}, Outcome::kBad, ""},
        {Program::kWeb, {"--record", "run.rec"}, Outcome::kBad, ""},
        {Program::kWeb, {"run.sim"}, Outcome::kBad, ""},
        {Program::kGame, {"--script", "run.sim"}, Outcome::kBad, ""},
        {Program::kGame, {"--shots", "out"}, Outcome::kBad, ""},
    };
    for (const Row& row : rows) {
        std::string line;
        for (const char* a : row.args) line += std::string(a) + " ";
        Parsed p = Parse(row.args, row.program);
        EXPECT_EQ(p.outcome, row.outcome) << line;
        if (row.outcome != Outcome::kRun) continue;
        auto or_dash = [](const std::string& s) { return s.empty() ? std::string("-") : s; };
        const player::options::Options& o = p.options;
        std::string got = or_dash(o.scriptPath) + " " + or_dash(o.shotsDir) + " " + or_dash(o.tracePath);
        if (o.draws) got += " d";
        if (o.printLink) got += " link";
        if (o.printRecording) got += " recording";
        EXPECT_EQ(got, row.expected) << line;
    }
}

// A refused command line is told in one line that names the argument, shown
// so that no value can flood or garble it, and where to read more.
// The page's query takes the desktop's choices, as the game's command line does.
TEST(Options, ThePageTakesTheDesktopsChoices) {
    Parsed p = Parse({"--lang=en", "--scale", "integer", "--outline", "--pause-unfocused", "--play", "/play.rec"},
                     player::options::Program::kWeb);
    ASSERT_EQ(p.outcome, Outcome::kRun);
    EXPECT_EQ(p.options.lang, winapi::texts::Language::kEnglish);
    EXPECT_EQ(p.options.scale, player::options::ScaleMode::kInteger);
    EXPECT_TRUE(p.options.outline);
    EXPECT_TRUE(p.options.pauseUnfocused);
    EXPECT_EQ(p.options.playPath, "/play.rec");
}

TEST(Options, EachRefusalIsOneLine) {
    using player::options::Program;
    const std::string big(100000, 'x');
    const std::string cutAtACharacter = std::string(59, 'x') + "\xC3\xA9";  // e-acute would straddle byte 60
    struct Row {
        Program program;
        std::vector<const char*> args;
        std::string told;
    };
    const Row rows[] = {
        {Program::kGame, {"--x"}, "kawauo: unknown option --x; try --help"},
        {Program::kGame,
         {"game.sav"},
         "kawauo: unexpected argument 'game.sav' (a recording's name ends in .rec); try --help"},
        {Program::kGame, {"a.rec", "b.rec"}, "kawauo: more than one recording to play; try --help"},

        {Program::kGame, {"--scale", "blurry"}, "kawauo: --scale: 'blurry' is not a MODE; try --help"},
        {Program::kGame, {"--scale"}, "kawauo: --scale needs a value (MODE); try --help"},
        {Program::kGame, {"--window=yes"}, "kawauo: --window takes no value; try --help"},
        {Program::kGame,
         {"--record", "a", "--play", "b"},
         "kawauo: --record and --play cannot go together; try --help"},
        {Program::kGame,
         {"--lang", big.c_str()},
         "kawauo: --lang: '" + big.substr(0, 60) + "...' is not a LANG; try --help"},
        {Program::kGame,
         {"--lang", cutAtACharacter.c_str()},
         "kawauo: --lang: '" + std::string(59, 'x') + "...' is not a LANG; try --help"},
        {Program::kGame, {"--\x1B[2J\r\n\x7F"}, "kawauo: unknown option --\\x1B[2J\\x0D\\x0A\\x7F; try --help"},
        {Program::kSim, {}, "kawauo-sim: no script given; try --help"},
        {Program::kSim, {"a.sim", "b.sim"}, "kawauo-sim: more than one script given; try --help"},
        {Program::kSim,
         {"--link", "--trace", "t", "a"},
         "kawauo-sim: --link and --recording print and run nothing: one alone, without a run's options; try --help"},
        {Program::kWeb, {"--draws"}, "kawauo: unknown option --draws"},  // the page has no --help
    };
    for (const Row& row : rows) {
        testing::internal::CaptureStderr();
        Parsed p = Parse(row.args, row.program);
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(p.outcome, Outcome::kBad) << row.told;
        EXPECT_EQ(told, row.told + "\n");
        // Or on the stream the caller names (the Win32 host's box), and only there.
        std::FILE* caught = std::tmpfile();
        ASSERT_NE(caught, nullptr);
        testing::internal::CaptureStderr();
        Parse(row.args, row.program, caught);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << row.told;
        char text[512] = {};
        std::rewind(caught);
        text[std::fread(text, 1, sizeof text - 1, caught)] = '\0';
        std::fclose(caught);
        EXPECT_EQ(std::string(text), (row.told + "\n").substr(0, sizeof text - 1));
    }
}

// A recording given alone (as Explorer gives a file dropped on the
// program) is played as --play plays it; one name only, and only a .rec.
TEST(Options, ARecordingGivenAloneIsPlayed) {
    struct Row {
        std::vector<const char*> args;
        const char* played;  // nullptr: refused
    };
    const Row rows[] = {
        {{"run.rec"}, "run.rec"},
        {{"C:\\Users\\かわうお\\記録.REC"}, "C:\\Users\\かわうお\\記録.REC"},
        {{"--lang", "en", "run.Rec", "--window"}, "run.Rec"},
        {{".rec"}, nullptr},
        {{"run.rec.txt"}, nullptr},
        {{"run.sim"}, nullptr},
        {{"a.rec", "b.rec"}, nullptr},
        {{"--play", "a.rec", "b.rec"}, nullptr},
        {{"--record", "a.rec", "b.rec"}, nullptr},
    };
    for (const Row& row : rows) {
        std::string line;
        for (const char* a : row.args) line += std::string(a) + " ";
        testing::internal::CaptureStderr();
        Parsed p = Parse(row.args);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(p.outcome, row.played ? Outcome::kRun : Outcome::kBad) << line;
        if (row.played != nullptr) {
            EXPECT_EQ(p.options.playPath, row.played) << line;
        }
    }
    EXPECT_EQ(Parse({"run.rec"}, player::options::Program::kWeb).outcome, Outcome::kBad) << "the page's are --play's";
}

std::string Usage(player::options::Program program, player::options::Layout layout) {
    std::FILE* out = std::tmpfile();
    EXPECT_NE(out, nullptr);
    EXPECT_EQ(player::options::Answer(program, Outcome::kHelp, out, layout), 0);
    std::string text(size_t{8192}, '\0');
    std::rewind(out);
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    return text;
}

// The usage names only what the player's copy holds: the game's usage
// sends no one to kawauo-sim, and on this system names the manual page. In
// columns for a terminal; for a box, each option's help under it.
TEST(Options, TheUsageNamesWhatThePlayerHas) {
    using player::options::Layout;
    using player::options::Program;
    const std::string columns = Usage(Program::kGame, Layout::kColumns);
    EXPECT_EQ(columns.find("kawauo-sim"), std::string::npos) << columns;
    EXPECT_NE(columns.find("usage: kawauo [OPTION]... [FILE.rec]\n"), std::string::npos) << columns;
    EXPECT_NE(columns.find("\n  --lang LANG            ja (Japanese) or en"), std::string::npos) << columns;
    EXPECT_TRUE(columns.ends_with("See kawauo(6) for the keys.\n")) << columns;
    const std::string list = Usage(Program::kGame, Layout::kList);
    EXPECT_NE(list.find("\n--lang LANG\n      ja (Japanese) or en"), std::string::npos) << list;
    EXPECT_NE(list.find("\n--window\n      start in a window\n"), std::string::npos) << list;
    EXPECT_EQ(list.find("  --"), std::string::npos) << "no option in a column: " << list;
    EXPECT_EQ(Usage(Program::kSim, Layout::kColumns).find("kawauo(6)"), std::string::npos);
}

// --help and --version answer on standard output; one that cannot be
// written is a failure, told on standard error.
TEST(Options, AnAnswerThatCannotBeWrittenFails) {
    using player::options::Program;
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    const struct {
        Program program;
        Outcome outcome;
        int status;
        const char* told;
    } rows[] = {
        {Program::kGame, Outcome::kHelp, 1, "kawauo: cannot write the usage: No space left on device\n"},
        {Program::kGame, Outcome::kVersion, 1, "kawauo: cannot write the version: No space left on device\n"},
        {Program::kSim, Outcome::kHelp, 1, "kawauo-sim: cannot write the usage: No space left on device\n"},
        {Program::kGame, Outcome::kBad, player::options::kUsageStatus, ""},  // Parse has told it
    };
    for (const auto& row : rows) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(player::options::Answer(row.program, row.outcome, full), row.status) << row.told;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.told);
        std::clearerr(full);
    }
    std::fclose(full);
}

}  // namespace
