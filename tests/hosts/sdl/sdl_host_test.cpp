// The SDL host on SDL's offscreen video driver: keys and gamepad buttons as
// the game's keys, focus loss releasing them, Alt+Enter kept from the game,
// the settings it keeps and the keys they may bind, and no display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "hosts/core/remembered.h"
#include "hosts/core/worker.h"
#include "tests/hosts/sdl/sdl_host_fixture.h"
#include "tests/support/support.h"
#include "winapi/host.h"

namespace {

using namespace sdltest;

TEST_F(SdlHost, WindowIsTitledAndStartsFullScreen) {
    // The game calls its popup "2DGAME"; the player's taskbar shows the game's name.
    EXPECT_STREQ(SDL_GetWindowTitle(window_), "kawauo");
    EXPECT_NE(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(SDL_IsTextInputActive(), SDL_FALSE);
}

// Exactly the game's keys reach it, as presses and releases.
TEST_F(SdlHost, KeysOfTheGameAndNoOthers) {
    const KeyRow rows[] = {
        {SDLK_SPACE, VK_SPACE},
        {SDLK_TAB, VK_TAB},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_UP, VK_UP},
        {SDLK_RIGHT, VK_RIGHT},
        {SDLK_DOWN, VK_DOWN},
        {SDLK_F1, VK_F1},
        {SDLK_F2, VK_F2},
        {SDLK_F3, VK_F3},
        {SDLK_a, VK_LEFT},
        {SDLK_RETURN, 0},
        {SDLK_F4, 0},
        {SDLK_LALT, 0},
        {SDLK_KP_4, VK_LEFT},
        {SDLK_w, VK_UP},
        {SDLK_s, VK_DOWN},
        {SDLK_d, VK_RIGHT},
        {SDLK_KP_8, VK_UP},
        {SDLK_KP_6, VK_RIGHT},
        {SDLK_KP_2, VK_DOWN},
        {SDLK_1, VK_F1},
        {SDLK_2, VK_F2},
        {SDLK_3, VK_F3},
        {SDLK_e, 0},
        {SDLK_4, 0},
        {SDLK_F12, 0},
    };
    ExpectKeyPresses(rows);
}

// A key held when the window loses the focus is released first; its later
// release is not told twice.
TEST_F(SdlHost, FocusLossReleasesHeldKeys) {
    PushKey(true, SDLK_SPACE);
    PushKey(true, SDLK_LEFT);
    PushKey(true, SDLK_F2);
    PushKey(false, SDLK_F2);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushKey(false, SDLK_SPACE);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    ExpectEvents({Key(true, VK_SPACE), Key(true, VK_LEFT), Key(true, VK_F2), Key(false, VK_F2), Key(false, VK_SPACE),
                  Key(false, VK_LEFT), winapi::host::Event{winapi::host::EventKind::Deactivate, 0},
                  winapi::host::Event{winapi::host::EventKind::Activate, 0}},
                 "focus lost then gained");
}

// Two keys for one game key: it stays down until both are up.
TEST_F(SdlHost, TwoKeysForOneHoldItTogether) {
    PushKey(true, SDLK_LEFT);
    PushKey(true, SDLK_a);
    PushKey(false, SDLK_LEFT);
    ExpectEvents({Key(true, VK_LEFT)}, "left and A down, left up");
    PushKey(false, SDLK_a);
    ExpectEvents({Key(false, VK_LEFT)}, "A up too");
}

// With --pause-unfocused the game's clock stands still from the focus loss
// until the focus comes back, and runs on after it; without, it never stops.
TEST_F(SdlHost, ClockStandsStillOutOfFocusWhenAskedTo) {
    for (bool pause : {false, true}) {
        player::options::Options chosen;
        chosen.pauseUnfocused = pause;
        core::LoadSettings("", chosen);
        PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        winapi::host::Event e;
        ASSERT_TRUE(winapi::host::PollEvent(&e));
        EXPECT_EQ(e.kind, winapi::host::EventKind::Deactivate);
        uint32_t before = winapi::host::Milliseconds();
        SDL_Delay(30);
        EXPECT_EQ(winapi::host::Milliseconds() == before, pause) << "paused: " << pause;
        PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        ExpectEvents({winapi::host::Event{winapi::host::EventKind::Activate, 0}}, "focus back");
        before = winapi::host::Milliseconds();
        SDL_Delay(30);
        EXPECT_NE(winapi::host::Milliseconds(), before) << "after the pause";
    }
    core::LoadSettings("", player::options::Options{});
}

TEST_F(SdlHost, QuitAsksToClose) {
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    ExpectEvents({winapi::host::Event{winapi::host::EventKind::Close, 0}}, "quit");
}

// Alt+Enter switches full screen and window and never reaches the game.
TEST_F(SdlHost, AltEnterTogglesFullScreenUnseen) {
    for (bool fullscreenAfter : {false, true}) {
        PushKey(true, SDLK_RETURN, KMOD_LALT);
        PushKey(false, SDLK_RETURN, KMOD_LALT);
        ExpectEvents({}, "Alt+Enter");
        bool fullscreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
        EXPECT_EQ(fullscreen, fullscreenAfter);
    }
}

// The settings' keys are the keyboard's, Alt+Enter and a resized window are
// written into the file, and the player's own lines stay as they were, also
// those written into the file while the game runs.
TEST_F(SdlHost, SettingsBindKeysAndRememberThePlayersChanges) {
    const testsupport::TempFolder folder("kawauo-host-settings");
    const std::string path = folder / "settings";
    const std::string mine = "# swapped\nkey.up = Z\nkey.f1 = Up, Keypad 8\n";
    std::ofstream(path) << mine;
    core::LoadSettings(path, {});
    const KeyRow rows[] = {{SDLK_z, VK_UP}, {SDLK_UP, VK_F1},     {SDLK_KP_8, VK_F1}, {SDLK_w, 0},
                           {SDLK_1, 0},     {SDLK_LEFT, VK_LEFT}, {SDLK_a, VK_LEFT},  {SDLK_F2, VK_F2}};
    ExpectKeyPresses(rows);
    auto file = [&path] { return testsupport::ReadText(path); };
    EXPECT_EQ(file(), mine) << "nothing changed, nothing written";
    const std::string edited = "# swapped, and I for up\nkey.up = Up, I\nkey.f1 = Up, Keypad 8\nlang = en\n";
    std::ofstream(path) << edited;  // by the player, while the game runs
    PushKey(true, SDLK_RETURN, KMOD_LALT);
    PushKey(false, SDLK_RETURN, KMOD_LALT);
    ExpectEvents({}, "Alt+Enter");
    ASSERT_EQ(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    core::FinishWriting();  // written off the game's thread
    EXPECT_EQ(file(), edited + "fullscreen = no\n");
    SDL_Event resized{};
    resized.type = SDL_WINDOWEVENT;
    resized.window.event = SDL_WINDOWEVENT_RESIZED;
    resized.window.data1 = 800;
    resized.window.data2 = 600;
    SDL_PushEvent(&resized);
    Drain();
    core::FinishWriting();
    EXPECT_EQ(file().find("window = 800x600"), std::string::npos) << "saved only once the size rests";
    SDL_Delay(600);
    Drain();
    core::FinishWriting();
    EXPECT_EQ(file(), edited + "fullscreen = no\nwindow = 800x600\n");
    PushKey(true, SDLK_RETURN, KMOD_LALT);  // full screen again, for the tests after
    Drain();
    core::LoadSettings("", {});
}

// F12 takes a screenshot before any binding sees it: a line binding it is
// refused, and the key it would have replaced still works. The comma keys
// are named Comma and Keypad Comma; Return can be bound, as only Alt+Enter
// is the host's.
TEST_F(SdlHost, SettingsRefuseTheScreenshotKeyAndNameTheCommas) {
    const testsupport::TempFolder folder("kawauo-host-settings");
    const std::string path = folder / "settings";
    auto load = [&path](const char* text) {
        std::ofstream(path) << text;
        testing::internal::CaptureStderr();
        core::LoadSettings(path, {});
        return testing::internal::GetCapturedStderr();
    };
    EXPECT_EQ(load("key.space = F12\nkey.f1 = Return\n"), path + ":1: F12 saves a screenshot and cannot be bound\n");
    const KeyRow bound[] = {{SDLK_SPACE, VK_SPACE}, {SDLK_RETURN, VK_F1}, {SDLK_F1, 0}};
    ExpectKeyPresses(bound);
    EXPECT_EQ(load("key.f1 = Comma, Keypad Comma\n"), "");
    const KeyRow commas[] = {{SDLK_COMMA, VK_F1}, {SDLK_KP_COMMA, VK_F1}, {SDLK_F1, 0}};
    ExpectKeyPresses(commas);
    core::LoadSettings("", {});
}

// The names the manual page gives, from the comment that opens its list to
// the next, as the settings file takes them: roff's escapes undone.
std::vector<std::string> ManualKeyNames() {
    std::istringstream manual(testsupport::ReadText(KAWAUO_SOURCE_DIR "/data/kawauo.6"));
    std::string line, list;
    for (bool in = false; std::getline(manual, line);) {
        if (line.rfind(".\\\" The key names", 0) == 0 || line.rfind(".\\\" End of the key names", 0) == 0) in = !in;
        else if (in && line[0] != '.') list += line + " ";
    }
    const std::pair<std::string, std::string> kEscapes[] = {{"\\ ", " "},   {"\\-", "-"},   {"\\e", "\\"},
                                                            {"\\(aq", "'"}, {"\\(ga", "`"}, {"\\(ha", "^"}};
    for (const auto& [escape, character] : kEscapes)
        for (size_t at = 0; (at = list.find(escape, at)) != std::string::npos; at += character.size())
            list.replace(at, escape.size(), character);
    std::vector<std::string> names;
    std::istringstream in(list);
    for (std::string name; std::getline(in, name, ',');) {
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

// Every key the manual page names can be bound, and every key SDL names is
// among them but F12.
TEST(SdlHostKeyNames, TheManualNamesEveryKeyThatCanBeBound) {
    const std::vector<std::string> names = ManualKeyNames();
    ASSERT_GT(names.size(), 200u);
    const testsupport::TempFolder folder("kawauo-host-settings");
    const std::string path = folder / "settings";
    std::ofstream out(path);
    for (const std::string& name : names) out << "key.up = " << name << "\n";
    out.close();
    testing::internal::CaptureStderr();
    core::LoadSettings(path, {});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "each line of " << path;
    core::LoadSettings("", {});
    const std::set<std::string> named(names.begin(), names.end());
    for (int code = 0; code < SDL_NUM_SCANCODES; ++code) {
        std::string name = SDL_GetScancodeName(static_cast<SDL_Scancode>(code));
        if (name == ",") name = "Comma";
        if (name == "Keypad ,") name = "Keypad Comma";
        if (name.empty() || name == "F12") continue;
        EXPECT_EQ(named.count(name), 1u) << "the manual lacks " << name;
    }
}

TEST_F(SdlHost, CursorFollowsTheGame) {
    winapi::host::SetCursorVisible(false);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    winapi::host::SetCursorVisible(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

// A virtual pad, as SDL makes it for tests: buttons in SDL's own order.
class SdlPad : public SdlHost {
protected:
    void SetUp() override {
        SdlHost::SetUp();
        int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                               SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1, 0);
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick_ = SDL_JoystickOpen(device);
        ASSERT_NE(joystick_, nullptr) << SDL_GetError();
        ExpectEvents({}, "pad plugged in");
    }
    void TearDown() override {
        if (joystick_ == nullptr) return;
        SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        Drain();
    }
    void Button(int button, bool down) { SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0); }
    void Axis(int axis, int value) { SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(value)); }
    void Unplug() {
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == SDL_JoystickInstanceID(joystick_)) SDL_JoystickDetachVirtual(i);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
    }
    SDL_Joystick* joystick_ = nullptr;
};

TEST_F(SdlPad, ButtonsAreTheGameKeys) {
    struct Row {
        SDL_GameControllerButton button;
        int vk;
    };
    const Row rows[] = {
        {SDL_CONTROLLER_BUTTON_A, VK_SPACE},
        {SDL_CONTROLLER_BUTTON_START, VK_SPACE},
        {SDL_CONTROLLER_BUTTON_X, VK_F1},
        {SDL_CONTROLLER_BUTTON_Y, VK_F2},
        {SDL_CONTROLLER_BUTTON_B, VK_F3},
        {SDL_CONTROLLER_BUTTON_BACK, VK_TAB},
        {SDL_CONTROLLER_BUTTON_GUIDE, VK_ESCAPE},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, VK_RIGHT},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, VK_UP},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, VK_DOWN},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0},
    };
    for (const Row& row : rows) {
        Button(row.button, true);
        std::vector<winapi::host::Event> expected;
        if (row.vk != 0) expected = {Key(true, row.vk)};
        ExpectEvents(expected, SDL_GameControllerGetStringForButton(row.button));
        Button(row.button, false);
        if (row.vk != 0) expected = {Key(false, row.vk)};
        ExpectEvents(expected, SDL_GameControllerGetStringForButton(row.button));
    }
}

// The left stick presses an arrow past a threshold and lets go well inside it.
TEST_F(SdlPad, LeftStickIsTheArrows) {
    struct Row {
        int axis;
        int value;
        std::vector<winapi::host::Event> expected;
    };
    const Row rows[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, -8000, {}},
        {SDL_CONTROLLER_AXIS_LEFTX, -20000, {Key(true, VK_LEFT)}},
        {SDL_CONTROLLER_AXIS_LEFTX, -14000, {}},  // between the thresholds: still held
        {SDL_CONTROLLER_AXIS_LEFTX, 20000, {Key(false, VK_LEFT), Key(true, VK_RIGHT)}},
        {SDL_CONTROLLER_AXIS_LEFTX, 0, {Key(false, VK_RIGHT)}},
        {SDL_CONTROLLER_AXIS_LEFTY, 30000, {Key(true, VK_DOWN)}},
        {SDL_CONTROLLER_AXIS_LEFTY, -30000, {Key(false, VK_DOWN), Key(true, VK_UP)}},
        {SDL_CONTROLLER_AXIS_LEFTY, -5000, {Key(false, VK_UP)}},
        {SDL_CONTROLLER_AXIS_RIGHTX, -30000, {}},
    };
    for (const Row& row : rows) {
        Axis(row.axis, row.value);
        ExpectEvents(row.expected, ("axis " + std::to_string(row.axis) + " at " + std::to_string(row.value)).c_str());
    }
}

// One key held by two devices stays down until both let go; unplugging a
// pad lets go of what it held.
TEST_F(SdlPad, DevicesShareKeysAndUnplugReleases) {
    PushKey(true, SDLK_LEFT);
    ExpectEvents({Key(true, VK_LEFT)}, "keyboard");
    Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    ExpectEvents({}, "d-pad on a key already down");
    PushKey(false, SDLK_LEFT);
    ExpectEvents({}, "keyboard let go first");
    Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    ExpectEvents({Key(false, VK_LEFT)}, "d-pad let go last");
    Button(SDL_CONTROLLER_BUTTON_A, true);
    ExpectEvents({Key(true, VK_SPACE)}, "A held");
    Unplug();
    ExpectEvents({Key(false, VK_SPACE)}, "pad unplugged");
}

TEST_F(SdlPad, FocusLossReleasesPadKeys) {
    Button(SDL_CONTROLLER_BUTTON_X, true);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, 30000);
    ExpectEvents({Key(true, VK_DOWN), Key(true, VK_F1)}, "pad keys down");
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    ExpectEvents({Key(false, VK_DOWN), Key(false, VK_F1), winapi::host::Event{winapi::host::EventKind::Deactivate, 0}},
                 "focus lost with pad keys down");
    Button(SDL_CONTROLLER_BUTTON_X, false);
    ExpectEvents({}, "a release after the focus went");
}

// Without a display the host says so, and a message box does not wait.
TEST(SdlHostWithoutDisplay, OpenFailsAndBoxesReturn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            bool opened = winapi::host::OpenDisplay("2DGAME");
            winapi::host::ShowMessageBox("caption", "text");
            std::exit(opened ? 1 : 7);
        },
        testing::ExitedWithCode(7), "cannot open a display");
}
}  // namespace
