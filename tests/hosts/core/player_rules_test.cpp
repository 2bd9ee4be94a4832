// The rules every driver's player gets from the core, told raw events as a
// driver tells them (on the headless driver): keys bound by name, a tap
// between two frames seen for one, the one pad map, focus, Alt+Enter, the
// pause clock, and what the settings remember.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "hosts/core/driver.h"
#include "hosts/core/remembered.h"
#include "hosts/headless/headless.h"
#include "tests/support/support.h"
#include "winapi/host.h"
#include "winapi/win.h"

namespace {

using winapi::host::Event;
using winapi::host::EventKind;

std::string Describe(const std::vector<Event>& events) {
    std::string s;
    for (const Event& e : events) {
        const char* names[] = {"down", "up", "activate", "deactivate", "close"};
        s += names[static_cast<int>(e.kind)];
        if (e.kind == EventKind::KeyDown || e.kind == EventKind::KeyUp) s += " " + std::to_string(e.virtualKey);
        s += "; ";
    }
    return s;
}

// What the game takes in one frame: every event waiting.
std::string Frame() {
    std::vector<Event> events;
    Event e;
    while (winapi::host::PollEvent(&e)) events.push_back(e);
    return Describe(events);
}

std::string Down(int vk) { return "down " + std::to_string(vk) + "; "; }
std::string Up(int vk) { return "up " + std::to_string(vk) + "; "; }

void Key(const char* name, bool down, bool alt = false, bool repeat = false) {
    core::Hear(core::RawEvent{.kind = core::RawKind::kKey, .down = down, .key = name, .alt = alt, .repeat = repeat});
}

void Pad(uint32_t roles, int stickX = 0, int stickY = 0) {
    core::Hear(
        core::RawEvent{.kind = core::RawKind::kPad, .pad = 7, .roles = roles, .stickX = stickX, .stickY = stickY});
}

void Focus(bool focused) { core::Hear(core::RawEvent{.kind = core::RawKind::kFocus, .down = focused}); }

class PlayerRules : public testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        core::LoadSettings("", {});
        ASSERT_TRUE(winapi::host::OpenDisplay("2DGAME"));
    }
    void TearDown() override { headless::Reset(); }

    // The settings file `text` read, the display opened again under them.
    void UseSettings(const std::string& text, player::options::Options chosen = {}) {
        std::ofstream(path_) << text;
        headless::Reset();
        core::LoadSettings(path_, chosen);
        ASSERT_TRUE(winapi::host::OpenDisplay("2DGAME"));
    }
    std::string File() const { return testsupport::ReadText(path_); }

    const testsupport::TempFolder folder_{"kawauo-core-rules"};
    const std::string path_ = folder_ / "settings";
};

TEST_F(PlayerRules, KeysAreBoundByNameInAnyCase) {
    UseSettings("key.up = z, keypad 8\nkey.f1 = Up\n");
    const struct {
        const char* name;
        int vk;  // 0: no game key
    } rows[] = {{"Z", VK_UP}, {"Keypad 8", VK_UP}, {"Up", VK_F1}, {"W", 0}, {"Space", VK_SPACE}, {"F1", 0}};
    for (const auto& row : rows) {
        Key(row.name, true);
        EXPECT_EQ(Frame(), row.vk != 0 ? Down(row.vk) : "") << row.name;
        Key(row.name, false);
        EXPECT_EQ(Frame(), row.vk != 0 ? Up(row.vk) : "") << row.name;
    }
}

// The game takes its events, then reads its keys: a tap within one frame is
// held down through it, let go in the next, and counted once.
TEST_F(PlayerRules, ATapBetweenTwoFramesIsSeenForOneFrame) {
    Key("Space", true);
    Key("Space", false);
    EXPECT_EQ(Frame(), Down(VK_SPACE));
    EXPECT_EQ(Frame(), Up(VK_SPACE));
    EXPECT_EQ(Frame(), "");
    Key("Space", true);
    Key("Space", false);
    Key("Space", true);
    EXPECT_EQ(Frame(), Down(VK_SPACE)) << "pressed again before the frame: still one press";
    EXPECT_EQ(Frame(), "");
    Key("Space", false);
    EXPECT_EQ(Frame(), Up(VK_SPACE)) << "pressed in an earlier frame: let go at once";
}

TEST_F(PlayerRules, ARepeatIsNoPressAndTwoKeysHoldOneGameKey) {
    Key("Left", true);
    Key("Left", true, false, true);
    Key("A", true);
    EXPECT_EQ(Frame(), Down(VK_LEFT));
    Key("Left", false);
    EXPECT_EQ(Frame(), "") << "A still holds it";
    Key("A", false);
    EXPECT_EQ(Frame(), Up(VK_LEFT));
}

TEST_F(PlayerRules, EveryPadRoleIsAGameKey) {
    const struct {
        uint32_t role;
        int vk;
    } rows[] = {{core::kPadSouth, VK_SPACE},  {core::kPadStart, VK_SPACE}, {core::kPadWest, VK_F1},
                {core::kPadNorth, VK_F2},     {core::kPadEast, VK_F3},     {core::kPadBack, VK_TAB},
                {core::kPadGuide, VK_ESCAPE}, {core::kPadLeft, VK_LEFT},   {core::kPadRight, VK_RIGHT},
                {core::kPadUp, VK_UP},        {core::kPadDown, VK_DOWN}};
    for (const auto& row : rows) {
        Pad(row.role);
        EXPECT_EQ(Frame(), Down(row.vk)) << row.role;
        Pad(0);
        Frame();  // the release, in this frame or the next
        EXPECT_EQ(Frame(), "") << row.role;
    }
    Pad(0, -20000, 30000);
    EXPECT_EQ(Frame(), Down(VK_LEFT) + Down(VK_DOWN)) << "the stick beyond its bound";
}

// Out of focus every key lets go at once; a pad's control held then counts
// again only once let go and pressed anew.
TEST_F(PlayerRules, FocusLossLetsGoOfEverythingHeld) {
    Key("Up", true);
    Pad(core::kPadSouth);
    Frame();
    Focus(false);
    EXPECT_EQ(Frame(), Up(VK_SPACE) + Up(VK_UP) + "deactivate; ");
    Focus(true);
    Pad(core::kPadSouth | core::kPadWest);
    EXPECT_EQ(Frame(), "activate; " + Down(VK_F1));
    Pad(core::kPadWest);
    Pad(core::kPadSouth | core::kPadWest);
    EXPECT_EQ(Frame(), Down(VK_SPACE));
}

TEST_F(PlayerRules, AltEnterSwitchesFullScreenUnseenAndIsRemembered) {
    UseSettings("# mine\n");
    ASSERT_TRUE(headless::Fullscreen());
    Key("Return", true, true);
    Key("Return", false, true);
    Key("F12", true);
    Key("F12", false);
    EXPECT_EQ(Frame(), "");
    EXPECT_FALSE(headless::Fullscreen());
    EXPECT_EQ(File(), "# mine\nfullscreen = no\n");
    Key("Return", true);
    EXPECT_EQ(Frame(), "") << "Return alone is no key of the game's until bound";
}

TEST_F(PlayerRules, TheClockStandsStillOutOfFocusOnlyWhenAsked) {
    for (bool asked : {false, true}) {
        player::options::Options chosen;
        chosen.pauseUnfocused = asked;
        UseSettings("", chosen);
        headless::SetMilliseconds(1000);
        Focus(false);
        Frame();
        headless::SetMilliseconds(5000);
        EXPECT_EQ(winapi::host::Milliseconds(), asked ? 1000u : 5000u);
        Focus(true);
        Frame();
        headless::SetMilliseconds(6000);
        EXPECT_EQ(winapi::host::Milliseconds(), asked ? 2000u : 6000u) << "the time away is left out";
    }
}

TEST_F(PlayerRules, AResizedWindowIsSavedOnceItRests) {
    UseSettings("");
    headless::SetMilliseconds(1000);
    core::Hear(core::RawEvent{.kind = core::RawKind::kResized, .width = 800, .height = 600});
    headless::SetMilliseconds(1499);
    Frame();
    EXPECT_EQ(File(), "");
    headless::SetMilliseconds(1500);
    Frame();
    EXPECT_EQ(File(), "window = 800x600\n");
}

TEST_F(PlayerRules, AMenuChangesASettingAsItsLineWould) {
    EXPECT_FALSE(core::ChooseSetting("outline", "yes")) << "no settings file: nothing is kept";
    UseSettings("");
    EXPECT_TRUE(core::ChooseSetting("outline", "yes"));
    EXPECT_FALSE(core::ChooseSetting("scale", "sideways"));
    EXPECT_TRUE(core::SavedSettings().outline);
    EXPECT_EQ(File(), "outline = yes\n");
}

}  // namespace
