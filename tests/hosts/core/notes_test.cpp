// The notes' queue: each note shown in turn for its time, the screen cleared
// after the last, a flood counted in one note, the clock's wrap harmless.
#include "hosts/core/notes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_shown;

void Show(const char* text) { g_shown.push_back(text); }

// What each Tick at `times` showed, "-" where it showed nothing new.
std::string Shown(const std::vector<uint32_t>& times) {
    std::string out;
    for (uint32_t now : times) {
        g_shown.clear();
        const bool changed = core::notes::Tick(now, Show);
        out += (out.empty() ? "" : " ") + (changed && g_shown.size() == 1 ? "[" + g_shown[0] + "]" : "-");
    }
    return out;
}

class Notes : public testing::Test {
protected:
    void SetUp() override { core::notes::Forget(); }
    void TearDown() override { core::notes::Forget(); }
};

TEST_F(Notes, EachIsShownInTurnForItsTimeThenTheScreenIsCleared) {
    EXPECT_EQ(Shown({0, 100}), "- -") << "nothing posted";
    core::notes::Post("first");
    core::notes::Post("second");
    EXPECT_EQ(Shown({1000, 4999, 5000, 8999, 9000, 9001, 20000}), "[first] - [second] - [] - -");
    core::notes::Post("later");
    EXPECT_EQ(Shown({20001, 24001}), "[later] []");
}

TEST_F(Notes, AFloodIsCountedInOneNote) {
    for (int i = 1; i <= 11; ++i) core::notes::Post("note " + std::to_string(i));
    std::vector<uint32_t> times;
    for (uint32_t i = 0; i <= core::notes::kMostWaiting + 1; ++i) times.push_back(i * core::notes::kShownMs);
    EXPECT_EQ(Shown(times),
              "[note 1] [note 2] [note 3] [note 4] [note 5] [note 6] [note 7] [note 8] [and 3 more notes] []");
}

// A program ending before it showed them tells the notes another way.
TEST_F(Notes, TheWaitingOnesAreTakenAtTheEnd) {
    core::notes::Post("shown");
    EXPECT_EQ(Shown({0}), "[shown]");
    EXPECT_EQ(core::notes::TakeWaiting(), "") << "none waits";
    for (int i = 1; i <= 10; ++i) core::notes::Post("waiting " + std::to_string(i));
    EXPECT_EQ(core::notes::TakeWaiting(),
              "waiting 1\nwaiting 2\nwaiting 3\nwaiting 4\nwaiting 5\nwaiting 6\n"
              "waiting 7\nwaiting 8\nand 2 more notes");
    EXPECT_EQ(core::notes::TakeWaiting(), "") << "taken away";
    EXPECT_EQ(Shown({4000, 8000}), "[] -") << "nothing left to show";
}

TEST_F(Notes, TheClocksWrapShortensNothing) {
    core::notes::Post("across");
    core::notes::Post("after");
    EXPECT_EQ(Shown({0xFFFFF800u, 0xFFFFFFFFu, 0x00000700u, 0x00000800u}), "[across] - - [after]");
}

}  // namespace
