// Every BMP test case through the whole program, once as one of its pictures
// (a different one from case to case) and once as back.bmp, whose colour
// table is also the palette: a malformed file is told in the creation-error
// box alone and ends the run with status 1 before any frame; a good one plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "display/texts.h"
#include "tests/sim/sim_harness.h"
#include "tests/winapi/bmp_cases.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/cp932.h"

namespace {

using simtest::Json;
using simtest::SimRun;

constexpr int kFrames = 3;

const std::vector<BmpCase>& Cases() {
    static const std::vector<BmpCase> cases = BmpCases();
    return cases;
}

std::string Utf8(const char* cp932) { return winapi::Cp932ToUtf8(cp932, std::strlen(cp932)); }

// The pictures the generator wrote other than back.bmp, by name.
std::vector<std::string> OtherPictures(const std::string& dir) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir + "/bmp")) {
        std::string name = entry.path().filename().string();
        if (name != "back.bmp") files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every event of the run, one a line, for failure messages.
std::string Events(const SimRun& run) {
    std::string out;
    for (const Json& e : run.events) out += "\n  " + e.dump();
    return out;
}

class BadPicture : public ::testing::TestWithParam<size_t> {};

TEST_P(BadPicture, IsRefusedWithTheBoxOrPlays) {
    const BmpCase& c = Cases()[GetParam()];
    testsupport::TempFolder dir("kawauo-sim");
    simtest::WriteTestPictures(dir.path());
    const std::vector<std::string> others = OtherPictures(dir.path());
    ASSERT_EQ(others.size(), 32u);
    const Json box = {
        {"event", "messagebox"}, {"caption", Utf8(kTextCreateFailedCaption)}, {"text", Utf8(kTextCreateFailed)}};
    for (const std::string& file : {others[GetParam() % others.size()], std::string("back.bmp")}) {
        SCOPED_TRACE("as " + file);
        simtest::WriteTestPictures(dir.path());  // puts back the picture the last run replaced
        ASSERT_TRUE(WriteFile(dir.path() + "/bmp/" + file, c.bytes));
        SimRun run = simtest::RunSim("frames " + std::to_string(kFrames) + "\n", dir.path());
        ASSERT_FALSE(run.lines.empty()) << simtest::Describe(run);
        if (c.decodes) {
            EXPECT_EQ(run.status, 0) << simtest::Describe(run);
            EXPECT_EQ(run.frames.size(), size_t{kFrames});
            EXPECT_EQ(run.events.size(), 1u) << "expected only the exit event, got:" << Events(run);
        } else {
            EXPECT_EQ(run.status, 1) << simtest::Describe(run);
            EXPECT_TRUE(run.frames.empty()) << run.frames.size() << " frames drawn";
            ASSERT_EQ(run.events.size(), 2u) << "expected the box and the exit, got:" << Events(run);
            EXPECT_EQ(run.events[0], box);
        }
        EXPECT_EQ(run.lines.back(), Json({{"event", "exit"}, {"code", c.decodes ? 0 : 1}}));
    }
}

std::vector<size_t> CaseNumbers() {
    std::vector<size_t> numbers(Cases().size());
    for (size_t i = 0; i < numbers.size(); ++i) numbers[i] = i;
    return numbers;
}

INSTANTIATE_TEST_SUITE_P(EveryCase, BadPicture, ::testing::ValuesIn(CaseNumbers()),
                         [](const ::testing::TestParamInfo<size_t>& info) { return Cases()[info.param].name; });

}  // namespace
