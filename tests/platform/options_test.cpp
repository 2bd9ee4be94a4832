// The players' command line: what each argument asks for, and what is refused.
#include "platform/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using options::Outcome;

struct Parsed {
    Outcome outcome;
    options::Options options;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "kawauo");
    Parsed parsed{};
    parsed.outcome = options::Parse(static_cast<int>(args.size()), args.data(), &parsed.options);
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

}  // namespace
