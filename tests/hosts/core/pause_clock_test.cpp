// The clock that stands still while the game is paused.
#include "hosts/core/pause_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(PauseClock, StandsStillWhilePausedAndLeavesTheTimeAwayOut) {
    core::PauseClock clock;
    struct Row {
        char what;  // r read, p pause, u resume
        uint32_t raw;
        uint32_t expected;  // for reads
    };
    const Row rows[] = {
        {'r', 100, 100},  {'p', 150, 0},         {'r', 150, 150},  {'r', 5000, 150},
        {'p', 6000, 0},                                                             // a second pause is none
        {'u', 9150, 0},   {'r', 9150, 150},      {'r', 9200, 200}, {'u', 9300, 0},  // nor a second resume
        {'r', 9300, 300}, {'p', 0xFFFFFFF0u, 0}, {'u', 20, 0},     {'r', 30, 0xFFFFFFF0u - 9000 + 10},
    };
    int line = 0;
    for (const Row& row : rows) {
        ++line;
        if (row.what == 'p') clock.Pause(row.raw);
        if (row.what == 'u') clock.Resume(row.raw);
        if (row.what == 'r') {
            EXPECT_EQ(clock.Read(row.raw), row.expected) << "row " << line;
        }
    }
}

}  // namespace
