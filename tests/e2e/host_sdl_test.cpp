// The SDL host on SDL's offscreen video driver: keys and gamepad buttons as
// the game's keys, focus loss releasing them, Alt+Enter kept from the game,
// the picture through the palette at whole scales with black borders.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/host.h"

namespace {

std::string Describe(const std::vector<host::Event>& events) {
    static const char* const kNames[] = {"KeyDown", "KeyUp", "Activate", "Deactivate", "Close"};
    std::string s;
    for (const host::Event& e : events) {
        s += kNames[static_cast<int>(e.kind)];
        if (e.kind == host::EventKind::KeyDown || e.kind == host::EventKind::KeyUp) s += " " + std::to_string(e.virtualKey);
        s += "; ";
    }
    return s;
}

std::vector<host::Event> Drain() {
    std::vector<host::Event> events;
    host::Event e;
    while (host::PollEvent(&e)) events.push_back(e);
    return events;
}

host::Event Key(bool down, int vk) { return host::Event{down ? host::EventKind::KeyDown : host::EventKind::KeyUp, vk}; }

// SDL holds back some events a while (a Guide button's release comes at
// least a quarter second after its press), so the expected ones are awaited.
void ExpectEvents(const std::vector<host::Event>& expected, const char* what) {
    std::vector<host::Event> actual = Drain();
    for (Uint64 giveUp = SDL_GetTicks64() + 2000; actual.size() < expected.size() && SDL_GetTicks64() < giveUp;) {
        SDL_Delay(5);
        std::vector<host::Event> more = Drain();
        actual.insert(actual.end(), more.begin(), more.end());
    }
    EXPECT_EQ(Describe(actual), Describe(expected)) << what;
}

void PushKey(bool down, SDL_Keycode key, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

void PushWindowEvent(Uint8 event) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    SDL_PushEvent(&e);
}

SDL_Window* GameWindow() {
    for (Uint32 id = 1; id < 64; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id)) return w;
    return nullptr;
}

class SdlHost : public testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_RENDER_DRIVER", "software", 1);
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);  // no window has the focus here
        ASSERT_TRUE(host::OpenDisplay("2DGAME")) << SDL_GetError();
    }
    void SetUp() override {
        window_ = GameWindow();
        ASSERT_NE(window_, nullptr);
        Drain();
    }
    SDL_Window* window_ = nullptr;
};

TEST_F(SdlHost, WindowIsTitledAndStartsFullScreen) {
    EXPECT_STREQ(SDL_GetWindowTitle(window_), "2DGAME");
    EXPECT_NE(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(SDL_IsTextInputActive(), SDL_FALSE);
}

// Exactly the game's keys reach it, as presses and releases.
TEST_F(SdlHost, KeysOfTheGameAndNoOthers) {
    struct Row {
        SDL_Keycode key;
        int vk;  // 0: not for the game
    };
    const Row rows[] = {
        {SDLK_SPACE, VK_SPACE}, {SDLK_TAB, VK_TAB},     {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_LEFT, VK_LEFT},
        {SDLK_UP, VK_UP},       {SDLK_RIGHT, VK_RIGHT}, {SDLK_DOWN, VK_DOWN},     {SDLK_F1, VK_F1},
        {SDLK_F2, VK_F2},       {SDLK_F3, VK_F3},       {SDLK_a, 0},              {SDLK_RETURN, 0},
        {SDLK_F4, 0},           {SDLK_LALT, 0},         {SDLK_KP_4, 0},
    };
    for (const Row& row : rows) {
        PushKey(true, row.key);
        PushKey(false, row.key);
        std::vector<host::Event> expected;
        if (row.vk != 0) expected = {Key(true, row.vk), Key(false, row.vk)};
        ExpectEvents(expected, SDL_GetKeyName(row.key));
    }
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
                  Key(false, VK_LEFT), host::Event{host::EventKind::Deactivate, 0},
                  host::Event{host::EventKind::Activate, 0}},
                 "focus lost then gained");
}

TEST_F(SdlHost, QuitAsksToClose) {
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    ExpectEvents({host::Event{host::EventKind::Close, 0}}, "quit");
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

TEST_F(SdlHost, CursorFollowsTheGame) {
    host::SetCursorVisible(false);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    host::SetCursorVisible(true);
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
        {SDL_CONTROLLER_BUTTON_A, VK_SPACE},          {SDL_CONTROLLER_BUTTON_START, VK_SPACE},
        {SDL_CONTROLLER_BUTTON_X, VK_F1},             {SDL_CONTROLLER_BUTTON_Y, VK_F2},
        {SDL_CONTROLLER_BUTTON_B, VK_F3},             {SDL_CONTROLLER_BUTTON_BACK, VK_TAB},
        {SDL_CONTROLLER_BUTTON_GUIDE, VK_ESCAPE},     {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, VK_RIGHT}, {SDL_CONTROLLER_BUTTON_DPAD_UP, VK_UP},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, VK_DOWN},   {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0},
    };
    for (const Row& row : rows) {
        Button(row.button, true);
        std::vector<host::Event> expected;
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
        std::vector<host::Event> expected;
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
    ExpectEvents({Key(false, VK_DOWN), Key(false, VK_F1), host::Event{host::EventKind::Deactivate, 0}},
                 "focus lost with pad keys down");
    Button(SDL_CONTROLLER_BUTTON_X, false);
    ExpectEvents({}, "a release after the focus went");
}

struct ScaleCase {
    int width;
    int height;
    SDL_Rect picture;
};

// Each palette entry a colour of its own, the picture a pattern of indices.
uint32_t Colour(int i) { return static_cast<uint32_t>((i * 37 + 11) & 0xFF) << 16 | (255 - i) << 8 | (i ^ 0x5A); }

TEST_F(SdlHost, PictureThroughPaletteAtWholeScalesLetterboxed) {
    std::vector<uint8_t> pixels(kScreenWidth * kScreenHeight);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) pixels[y * kScreenWidth + x] = static_cast<uint8_t>(x * 3 + y * 7);
    PALETTEENTRY palette[256];
    for (int i = 0; i < 256; ++i) {
        uint32_t c = Colour(i);
        palette[i] = PALETTEENTRY{static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c), 0};
    }
    PushKey(true, SDLK_RETURN, KMOD_ALT);  // to a window whose size the test sets
    Drain();
    const ScaleCase cases[] = {
        {640, 480, {0, 0, 640, 480}},    {1300, 980, {10, 10, 1280, 960}}, {1920, 1080, {320, 60, 1280, 960}},
        {2000, 700, {680, 110, 640, 480}}, {400, 400, {0, 50, 400, 300}},  {800, 300, {200, 0, 400, 300}},
    };
    SDL_Renderer* renderer = SDL_GetRenderer(window_);
    ASSERT_NE(renderer, nullptr);
    for (const ScaleCase& c : cases) {
        SDL_SetWindowSize(window_, c.width, c.height);
        Drain();
        host::Present(pixels.data(), palette);
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(renderer, &w, &h);
        ASSERT_EQ(w, c.width);
        ASSERT_EQ(h, c.height);
        std::vector<uint32_t> shown(static_cast<size_t>(w) * h);
        ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, shown.data(), w * 4), 0);
        const SDL_Rect& r = c.picture;
        int scale = r.w / kScreenWidth;
        int wrong = 0;
        std::string first;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool inside = x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
                uint32_t got = shown[static_cast<size_t>(y) * w + x] & 0xFFFFFF;
                bool ok;
                if (!inside) {
                    ok = got == 0;
                } else if (scale >= 1) {
                    ok = got == Colour(pixels[(y - r.y) / scale * kScreenWidth + (x - r.x) / scale]);
                } else {
                    ok = true;  // shrunk: only the place is checked, at the edges below
                }
                if (!ok && wrong++ == 0) first = std::to_string(x) + "," + std::to_string(y);
            }
        EXPECT_EQ(wrong, 0) << c.width << "x" << c.height << ": first wrong pixel at " << first;
        if (scale == 0) {
            EXPECT_NE(shown[static_cast<size_t>(r.y) * w + r.x] & 0xFFFFFF, 0u) << "picture's top-left";
            EXPECT_NE(shown[static_cast<size_t>(r.y + r.h - 1) * w + r.x + r.w - 1] & 0xFFFFFF, 0u) << "bottom-right";
        }
    }
    PushKey(true, SDLK_RETURN, KMOD_ALT);
    Drain();
}

// Without a display the host says so, and a message box does not wait.
TEST(SdlHostWithoutDisplay, OpenFailsAndBoxesReturn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            bool opened = host::OpenDisplay("2DGAME");
            host::ShowMessageBox("caption", "text");
            std::exit(opened ? 1 : 7);
        },
        testing::ExitedWithCode(7), "no display");
}

}  // namespace
