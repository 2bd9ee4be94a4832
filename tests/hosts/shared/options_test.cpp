// The players' command line: what each argument asks for, and what is refused.
#include "hosts/shared/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using options::Outcome;

struct Parsed {
    Outcome outcome;
    options::Options options;
};

Parsed Parse(std::vector<const char*> args, options::Program program = options::Program::kGame) {
    args.insert(args.begin(), "kawauo");
    Parsed parsed{};
    parsed.outcome = options::Parse(program, static_cast<int>(args.size()), args.data(), &parsed.options);
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
        const options::Options& o = p.options;
        std::string got;
        got += o.fullscreen ? (*o.fullscreen ? '1' : '0') : '-';
        got += o.scale ? (*o.scale == options::ScaleMode::kFit ? 'f' : 'i') : '-';
        if (o.pauseUnfocused) got += 'p';
        if (o.lang) got += *o.lang == texts::Language::kEnglish ? 'e' : 'j';
        if (o.outline) got += 'o';
        EXPECT_EQ(got, row.expected) << line;
    }
}

// One table serves the game, kawauo-sim and the web page: each takes its
// own rows, and nothing of another's.
TEST(Options, EachProgramTakesItsOwnRows) {
    using options::Program;
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
        {Program::kWeb, {"--script", "/run.sim"}, Outcome::kRun, "/run.sim - -"},
        {Program::kWeb, {"--trace", "/trace.jsonl"}, Outcome::kRun, "- - /trace.jsonl"},
        {Program::kWeb, {"--draws"}, Outcome::kBad, ""},
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
        const options::Options& o = p.options;
        std::string got = or_dash(o.scriptPath) + " " + or_dash(o.shotsDir) + " " + or_dash(o.tracePath);
        if (o.draws) got += " d";
        EXPECT_EQ(got, row.expected) << line;
    }
}

}  // namespace
