// --lang en: the same run as in Japanese, frame for frame, with every text
// in English where the Japanese one is drawn and no wider than it.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "display/texts.h"
#include "game/texts.h"
#include "tests/sim/sim_harness.h"
#include "winapi/cp932.h"
#include "winapi/texts.h"

namespace {

using simtest::Json;
using simtest::SimRun;

// Title, play with the three moves and the thoughts, retiring, the result.
constexpr const char* kRun = R"(
seed 77
tick 100000
frames 2
down SPACE
frames 1
up SPACE
frames 2
down F1
down F2
down F3
frames 1
up F1
up F2
up F3
frames 20
down RIGHT
frames 330
up RIGHT
down TAB
frames 1
up TAB
frames 3
)";

// The English form of a text, as UTF-8.
std::string English(const winapi::texts::Text& text) {
    winapi::texts::UseLanguage(winapi::texts::Language::kEnglish);
    const char* cp932 = text;
    std::string utf8 = winapi::Cp932ToUtf8(cp932, std::strlen(cp932));
    winapi::texts::UseLanguage(winapi::texts::Language::kJapanese);
    return utf8;
}

bool PrintableAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

class Language : public ::testing::Test {
protected:
    void SetUp() override { simtest::WriteTestPictures(dir_.path()); }
    SimRun Run(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"--draws"};
        all.insert(all.end(), args.begin(), args.end());
        return simtest::RunSim(kRun, dir_.path(), all);
    }
    testsupport::TempFolder dir_{"kawauo-sim"};
};

TEST_F(Language, EnglishTextsTakeTheJapanesePlacesInTheSameGame) {
    SimRun ja = Run({});
    SimRun en = Run({"--lang", "en"});
    ASSERT_EQ(ja.status, 0) << simtest::Describe(ja);
    ASSERT_EQ(en.status, 0) << simtest::Describe(en);
    ASSERT_EQ(en.frames.size(), ja.frames.size());
    std::set<int> rows;  // the y of every English text seen
    bool keyHelp = false;
    for (size_t f = 0; f < ja.frames.size(); ++f) {
        Json jaFrame = ja.frames[f], enFrame = en.frames[f];
        const Json jaDraws = jaFrame["draws"], enDraws = enFrame["draws"];
        jaFrame.erase("draws");
        enFrame.erase("draws");
        ASSERT_EQ(enFrame, jaFrame) << "frame " << f + 1 << ": the language changed the game";
        ASSERT_EQ(enDraws.size(), jaDraws.size()) << "frame " << f + 1;
        for (size_t d = 0; d < jaDraws.size(); ++d) {
            const Json &j = jaDraws[d], &e = enDraws[d];
            if (j[0] != "text") {
                EXPECT_EQ(e, j) << "frame " << f + 1 << ", draw " << d;
                continue;
            }
            const std::string jaText = j[4], enText = e[4];
            SCOPED_TRACE("frame " + std::to_string(f + 1) + ": " + jaText + " / " + enText);
            ASSERT_EQ(e[0], "text");
            EXPECT_EQ(e[1], j[1]);
            EXPECT_EQ(e[2], j[2]);
            EXPECT_EQ(e[3], j[3]) << "colour";
            EXPECT_NE(enText, jaText);
            EXPECT_TRUE(PrintableAscii(enText));
            EXPECT_LE(enText.size(), winapi::Utf8ToCp932(jaText).size())
                << "wider than the Japanese";
            rows.insert(e[2].get<int>());
            keyHelp = keyHelp || enText == English(kTextKeyHelp);
        }
    }
    EXPECT_TRUE(keyHelp);
    for (int y : {0, 20, 40, 60, 300, 340, 400, 420, 440, 385, 405, 425})
        EXPECT_TRUE(rows.count(y)) << "no text at y " << y << ": the run misses a part of the game";
}

// A recording says the language it was played in: a replay takes it, unless
// the command line chooses.
TEST_F(Language, AScriptsLangLineChoosesUnlessTheCommandLineDoes) {
    const std::string inEnglish = std::string("lang en") + kRun;
    const SimRun named = simtest::RunSim(inEnglish, dir_.path(), {"--draws"});
    const SimRun overruled = simtest::RunSim(inEnglish, dir_.path(), {"--draws", "--lang", "ja"});
    ASSERT_EQ(named.status, 0) << simtest::Describe(named);
    EXPECT_TRUE(named.lines == Run({"--lang", "en"}).lines) << "the run in English";
    EXPECT_TRUE(overruled.lines == Run({}).lines) << "the run in Japanese";
}

TEST_F(Language, MessageBoxesAreInEnglish) {
    std::filesystem::remove(dir_.path() + "/bmp/fish1.bmp");
    SimRun en = simtest::RunSim("frames 2\n", dir_.path(), {"--lang", "en"});
    ASSERT_EQ(en.events.size(), 2u) << simtest::Describe(en);
    EXPECT_EQ(en.events[0], Json({{"event", "messagebox"},
                                  {"caption", English(kTextCreateFailedCaption)},
                                  {"text", English(kTextCreateFailed)}}));
}

TEST_F(Language, OnlyJaAndEnAreLanguages) {
    for (const char* bad : {"fr", "EN", ""}) {
        SimRun run = simtest::RunSim("frames 1\n", dir_.path(), {"--lang", bad});
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.errors.find("--lang"), std::string::npos) << run.errors;
    }
}

}  // namespace
