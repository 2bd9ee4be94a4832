// What the game reads from outside while a script plays: the script's
// calendar, clock and input, the host's own input heard only for leaving.
#include <gtest/gtest.h>

#include "hosts/headless/headless.h"
#include "winapi/inputs.h"
#include "winapi/win.h"

namespace {

class InputsTest : public ::testing::Test {
protected:
    void SetUp() override { headless::Reset(); }
    void TearDown() override { headless::Reset(); }
};

TEST_F(InputsTest, APlayedScriptGivesTheClockCalendarAndInput) {
    winapi::inputs::Play();
    winapi::inputs::SetCalendar(77);
    winapi::inputs::SetClock(50);
    headless::SetMilliseconds(999);
    headless::SetCalendarSeconds(888);
    EXPECT_EQ(CalendarTime(), 77);
    EXPECT_EQ(GetTickCount(), 50u);
    winapi::inputs::SetReads({60, 61});
    EXPECT_EQ(GetTickCount(), 60u);
    EXPECT_EQ(GetTickCount(), 61u);
    EXPECT_EQ(GetTickCount(), 61u) << "the last reading stays";
    EXPECT_EQ(winapi::inputs::Clock(), 61u);

    // The host's own input only leaves; the script's is played.
    winapi::inputs::Queue(winapi::host::Event{winapi::host::EventKind::KeyDown, VK_LEFT});
    headless::KeyDown(VK_SPACE);
    headless::Activate(false);
    headless::KeyDown(VK_ESCAPE);
    headless::Close();
    struct Row {
        winapi::host::EventKind kind;
        int key;
    } rows[] = {{winapi::host::EventKind::KeyDown, VK_ESCAPE},
                {winapi::host::EventKind::Close, 0},
                {winapi::host::EventKind::KeyDown, VK_LEFT}};
    winapi::host::Event e{};
    for (const Row& row : rows) {
        ASSERT_TRUE(winapi::inputs::PollEvent(&e));
        EXPECT_EQ(static_cast<int>(e.kind), static_cast<int>(row.kind));
        EXPECT_EQ(e.virtualKey, row.key);
    }
    EXPECT_FALSE(winapi::inputs::PollEvent(&e));
}

}  // namespace
