// The SDL host on SDL's offscreen video driver: keys and gamepad buttons as
// the game's keys, focus loss releasing them, Alt+Enter kept from the game,
// the picture through the palette at whole scales with black borders, by
// renderer and by window surface, and which of the two a machine gets.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/host_sdl.h"
#include "platform/platform_internal.h"
#include "platform/png_write.h"
#include "platform/present_sdl.h"

namespace {

std::string Describe(const std::vector<host::Event>& events) {
    static const char* const kNames[] = {"KeyDown", "KeyUp", "Activate", "Deactivate", "Close"};
    std::string s;
    for (const host::Event& e : events) {
        s += kNames[static_cast<int>(e.kind)];
        if (e.kind == host::EventKind::KeyDown || e.kind == host::EventKind::KeyUp)
            s += " " + std::to_string(e.virtualKey);
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
    for (Uint32 id = 1; id < 1000; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id)) return w;
    return nullptr;
}

class SdlHost : public testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
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
    ExpectEvents(
        {Key(true, VK_SPACE), Key(true, VK_LEFT), Key(true, VK_F2), Key(false, VK_F2), Key(false, VK_SPACE),
         Key(false, VK_LEFT), host::Event{host::EventKind::Deactivate, 0}, host::Event{host::EventKind::Activate, 0}},
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
        options::Options chosen;
        chosen.pauseUnfocused = pause;
        sdlhost::UseOptions(chosen);
        PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        host::Event e;
        ASSERT_TRUE(host::PollEvent(&e));
        EXPECT_EQ(e.kind, host::EventKind::Deactivate);
        uint32_t before = host::Milliseconds();
        SDL_Delay(30);
        EXPECT_EQ(host::Milliseconds() == before, pause) << "paused: " << pause;
        PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        ExpectEvents({host::Event{host::EventKind::Activate, 0}}, "focus back");
        before = host::Milliseconds();
        SDL_Delay(30);
        EXPECT_NE(host::Milliseconds(), before) << "after the pause";
    }
    sdlhost::UseOptions(options::Options{});
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

// The settings' keys are the keyboard's, Alt+Enter and a resized window are
// written into the file, and the player's own lines stay as they were.
TEST_F(SdlHost, SettingsBindKeysAndRememberThePlayersChanges) {
    char folder[] = "/tmp/kawauo-host-settings-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string path = std::string(folder) + "/settings";
    const std::string mine = "# swapped\nkey.up = Z\nkey.f1 = Up, Keypad 8\n";
    std::ofstream(path) << mine;
    sdlhost::LoadSettings(path);
    struct Row {
        SDL_Keycode key;
        int vk;  // 0: not for the game
    };
    const Row rows[] = {{SDLK_z, VK_UP}, {SDLK_UP, VK_F1},     {SDLK_KP_8, VK_F1}, {SDLK_w, 0},
                        {SDLK_1, 0},     {SDLK_LEFT, VK_LEFT}, {SDLK_a, VK_LEFT},  {SDLK_F2, VK_F2}};
    for (const Row& row : rows) {
        PushKey(true, row.key);
        PushKey(false, row.key);
        std::vector<host::Event> expected;
        if (row.vk != 0) expected = {Key(true, row.vk), Key(false, row.vk)};
        ExpectEvents(expected, SDL_GetKeyName(row.key));
    }
    auto file = [&path] {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(file(), mine) << "nothing changed, nothing written";
    PushKey(true, SDLK_RETURN, KMOD_LALT);
    PushKey(false, SDLK_RETURN, KMOD_LALT);
    ExpectEvents({}, "Alt+Enter");
    ASSERT_EQ(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(file().substr(0, mine.size()), mine);
    EXPECT_NE(file().find("\nfullscreen = no\n"), std::string::npos) << file();
    SDL_Event resized{};
    resized.type = SDL_WINDOWEVENT;
    resized.window.event = SDL_WINDOWEVENT_RESIZED;
    resized.window.data1 = 800;
    resized.window.data2 = 600;
    SDL_PushEvent(&resized);
    Drain();
    EXPECT_EQ(file().find("window = 800x600"), std::string::npos) << "saved only once the size rests";
    SDL_Delay(600);
    Drain();
    EXPECT_NE(file().find("\nwindow = 800x600\n"), std::string::npos) << file();
    PushKey(true, SDLK_RETURN, KMOD_LALT);  // full screen again, for the tests after
    Drain();
    sdlhost::LoadSettings("");
    std::filesystem::remove_all(folder);
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

// Each palette entry a colour of its own, the picture a pattern of indices.
uint32_t Colour(int i) { return static_cast<uint32_t>((i * 37 + 11) & 0xFF) << 16 | (255 - i) << 8 | (i ^ 0x5A); }

struct Picture {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t{kScreenWidth} * kScreenHeight);
    PALETTEENTRY palette[256];
    uint32_t colours[256];

    Picture() {
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) pixels[y * kScreenWidth + x] = static_cast<uint8_t>(x * 3 + y * 7);
        for (int i = 0; i < 256; ++i) {
            colours[i] = Colour(i);
            palette[i] = PALETTEENTRY{static_cast<BYTE>(colours[i] >> 16), static_cast<BYTE>(colours[i] >> 8),
                                      static_cast<BYTE>(colours[i]), 0};
        }
    }
    uint32_t At(int x, int y) const { return Colour(pixels[static_cast<size_t>(y) * kScreenWidth + x]); }
};

// Each picture pixel a square of `scale`, written where the corner is and
// nowhere else, whatever the rows' pitch.
TEST(ConvertScaled, EachPixelASquareAndNothingOutside) {
    const Picture picture;
    constexpr uint32_t kUntouched = 0x12345678;
    constexpr int kLeft = 3, kTop = 2, kRight = 5, kBottom = 4;  // margins not to be written
    for (int scale : {1, 2, 3}) {
        const int width = kLeft + kScreenWidth * scale + kRight, height = kTop + kScreenHeight * scale + kBottom;
        std::vector<uint32_t> target(static_cast<size_t>(width) * height, kUntouched);
        uint32_t* corner = &target[static_cast<size_t>(kTop) * width + kLeft];
        platform::ConvertScaled(picture.pixels.data(), picture.colours, scale, corner, width * 4);
        int wrong = 0;
        std::string first;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int px = x - kLeft, py = y - kTop;
                bool inside = px >= 0 && px < kScreenWidth * scale && py >= 0 && py < kScreenHeight * scale;
                uint32_t expected = inside ? picture.At(px / scale, py / scale) : kUntouched;
                uint32_t actual = target[static_cast<size_t>(y) * width + x];
                if (actual != expected && wrong++ == 0)
                    first = "(" + std::to_string(x) + "," + std::to_string(y) + ") expected " +
                            std::to_string(expected) + " got " + std::to_string(actual);
            }
        EXPECT_EQ(wrong, 0) << "scale " << scale << ": first wrong pixel at " << first;
    }
}

// What the window shows as 0xRRGGBB: the renderer's output, or else the window's surface.
std::vector<uint32_t> Shown(SDL_Window* window, int* w, int* h) {
    std::vector<uint32_t> shown;
    if (SDL_Renderer* renderer = SDL_GetRenderer(window)) {
        if (SDL_GetRendererOutputSize(renderer, w, h) != 0) return shown;
        shown.resize(static_cast<size_t>(*w) * *h);
        if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, shown.data(), *w * 4) != 0) shown.clear();
    } else if (SDL_Surface* surface = SDL_GetWindowSurface(window)) {
        *w = surface->w;
        *h = surface->h;
        shown.resize(static_cast<size_t>(*w) * *h);
        if (SDL_ConvertPixels(*w, *h, surface->format->format, surface->pixels, surface->pitch,
                              SDL_PIXELFORMAT_ARGB8888, shown.data(), *w * 4) != 0)
            shown.clear();
    }
    for (uint32_t& p : shown) p &= 0xFFFFFF;
    return shown;
}

// The wrong pixels of `shown` for the picture placed at `r`, "" when none:
// black outside it; inside, at whole scales the very pixel of the picture,
// shrunk one of the picture's pixels next to the nearest.
std::string Mismatch(const std::vector<uint32_t>& shown, int w, int h, const SDL_Rect& r, const Picture& picture) {
    const int scale = r.w / kScreenWidth;
    int wrong = 0;
    std::string first;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t got = shown[static_cast<size_t>(y) * w + x];
            const bool inside = x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
            bool ok = false;
            if (!inside) {
                ok = got == 0;
            } else if (scale >= 1) {
                ok = got == picture.At((x - r.x) / scale, (y - r.y) / scale);
            } else {
                const int cx = (2 * (x - r.x) + 1) * kScreenWidth / (2 * r.w);
                const int cy = (2 * (y - r.y) + 1) * kScreenHeight / (2 * r.h);
                for (int sy = std::max(0, cy - 1); sy <= std::min(kScreenHeight - 1, cy + 1); ++sy)
                    for (int sx = std::max(0, cx - 1); sx <= std::min(kScreenWidth - 1, cx + 1); ++sx)
                        ok = ok || got == picture.At(sx, sy);
            }
            if (!ok && wrong++ == 0)
                first = "(" + std::to_string(x) + "," + std::to_string(y) + ") got " + std::to_string(got);
        }
    return wrong == 0 ? "" : std::to_string(wrong) + " wrong pixels, the first at " + first;
}

// The display opened again with KAWAUO_PRESENT as given ("" for the host's own choice).
SDL_Window* Reopen(const char* present) {
    host::CloseDisplay();
    if (*present != '\0') setenv("KAWAUO_PRESENT", present, 1);
    else unsetenv("KAWAUO_PRESENT");
    return host::OpenDisplay("2DGAME") ? GameWindow() : nullptr;
}

// The picture read back from a window whose size the test sets.
class SdlPicture : public SdlHost {
protected:
    void SetUp() override {}
    void TearDown() override {
        unsetenv("SDL_RENDER_DRIVER");
        sdlhost::UseOptions(options::Options{});
        Reopen("");
    }
    void Open(const char* setting, present::Path path) {
        options::Options integer;
        integer.scale = options::ScaleMode::kInteger;
        sdlhost::UseOptions(integer);
        window_ = Reopen(setting);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        ASSERT_EQ(present::Current(), path) << present::Describe();
        PushKey(true, SDLK_RETURN, KMOD_ALT);
        Drain();
    }

    // A new size, and what a driver may leave in the pixels of a new surface.
    void Resize(int width, int height) {
        SDL_SetWindowSize(window_, width, height);
        Drain();
        if (SDL_GetRenderer(window_) == nullptr) Scribble();
    }
    void Scribble() {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        ASSERT_NE(surface, nullptr) << SDL_GetError();
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
    }
    std::string Check(int width, int height, const SDL_Rect& picture) {
        host::Present(picture_.pixels.data(), picture_.palette);
        int w = 0, h = 0;
        std::vector<uint32_t> shown = Shown(window_, &w, &h);
        if (shown.empty()) return std::string("nothing to read back: ") + SDL_GetError();
        if (w != width || h != height)
            return "shown at " + std::to_string(w) + "x" + std::to_string(h) + ", not " + std::to_string(width) + "x" +
                   std::to_string(height);
        return Mismatch(shown, w, h, picture, picture_);
    }
    const Picture picture_;
};

struct PathCase {
    const char* setting;
    present::Path path;
};

class SdlPicturePaths : public SdlPicture, public testing::WithParamInterface<PathCase> {};

// At several window sizes, by each way of presenting, exactly. The renderer
// is SDL's software one, whose output can be read back after a present.
TEST_P(SdlPicturePaths, WholeScalesLetterboxedBlackAtEverySize) {
    setenv("SDL_RENDER_DRIVER", "software", 1);
    ASSERT_NO_FATAL_FAILURE(Open(GetParam().setting, GetParam().path));
    struct ScaleCase {
        int width;
        int height;
        SDL_Rect picture;
    };
    const ScaleCase cases[] = {
        {640, 480, {0, 0, 640, 480}},      {1300, 980, {10, 10, 1280, 960}},  {1920, 1080, {320, 60, 1280, 960}},
        {2000, 700, {680, 110, 640, 480}}, {1950, 1450, {15, 5, 1920, 1440}}, {400, 400, {0, 50, 400, 300}},
        {800, 300, {200, 0, 400, 300}},    {640, 480, {0, 0, 640, 480}},
    };
    for (const ScaleCase& c : cases) {
        Resize(c.width, c.height);
        EXPECT_EQ(Check(c.width, c.height, c.picture), "") << c.width << "x" << c.height << " " << present::Describe();
    }
}

// Fit fills the output's height (or width) in the picture's 4:3 shape, centred.
TEST(PictureRect, FitFillsTheScreenCentred) {
    struct Row {
        int width;
        int height;
        SDL_Rect picture;
    };
    const Row rows[] = {
        {1366, 768, {171, 0, 1024, 768}},  {1920, 1080, {240, 0, 1440, 1080}}, {1280, 960, {0, 0, 1280, 960}},
        {640, 480, {0, 0, 640, 480}},      {1600, 900, {200, 0, 1200, 900}},   {800, 300, {200, 0, 400, 300}},
        {1000, 1000, {0, 125, 1000, 750}},
    };
    for (const Row& r : rows) {
        SDL_Rect got = present::PictureRect(r.width, r.height, options::ScaleMode::kFit);
        EXPECT_TRUE(SDL_RectEquals(&got, &r.picture))
            << r.width << "x" << r.height << ": " << got.x << "," << got.y << " " << got.w << "x" << got.h;
    }
}

// The borders are painted when the window's pixels may have gone, not every frame.
TEST_F(SdlPicture, BordersPaintedAgainOnceExposed) {
    ASSERT_NO_FATAL_FAILURE(Open("surface", present::Path::kWindowSurface));
    const SDL_Rect picture{10, 10, 1280, 960};
    Resize(1300, 980);
    ASSERT_EQ(Check(1300, 980, picture), "");
    Scribble();
    EXPECT_NE(Check(1300, 980, picture), "") << "borders cleared without need";
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    Drain();
    EXPECT_EQ(Check(1300, 980, picture), "") << "after the window was exposed";
    Scribble();
    PushKey(true, SDLK_RETURN, KMOD_ALT);
    PushKey(true, SDLK_RETURN, KMOD_ALT);  // full screen and back
    Drain();
    SDL_SetWindowSize(window_, 1300, 980);
    Drain();
    EXPECT_EQ(Check(1300, 980, picture), "") << "after Alt+Enter twice";
}

INSTANTIATE_TEST_SUITE_P(Paths, SdlPicturePaths,
                         testing::Values(PathCase{"renderer", present::Path::kRenderer},
                                         PathCase{"surface", present::Path::kWindowSurface}),
                         [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.setting); });

// Whether SDL's renderer on this driver is drawn by the processor: the
// software renderer, or OpenGL by one of Mesa's processor rasterisers.
bool RendererIsProcessor() {
    SDL_Window* window = SDL_CreateWindow("probe", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    bool processor = true;
    SDL_RendererInfo info;
    if (renderer != nullptr && SDL_GetRendererInfo(renderer, &info) == 0 && SDL_strcmp(info.name, "software") != 0) {
        auto getString = reinterpret_cast<const GLubyte* (*)(GLenum)>(SDL_GL_GetProcAddress("glGetString"));
        const char* gl = getString != nullptr ? reinterpret_cast<const char*>(getString(GL_RENDERER)) : "";
        processor = gl != nullptr && (SDL_strstr(gl, "llvmpipe") != nullptr || SDL_strstr(gl, "softpipe") != nullptr);
    }
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    if (window != nullptr) SDL_DestroyWindow(window);
    return processor;
}

// On its own the host takes the window surface where SDL's renderer would be
// the processor's work anyway, and the renderer only on a graphics card.
TEST_F(SdlHost, ChoosesTheWindowSurfaceWithoutAGraphicsCard) {
    for (const char* driver : {"software", ""}) {
        if (*driver != '\0') setenv("SDL_RENDER_DRIVER", driver, 1);
        else unsetenv("SDL_RENDER_DRIVER");
        const bool processor = RendererIsProcessor();
        ASSERT_NE(Reopen(""), nullptr) << SDL_GetError();
        EXPECT_EQ(present::Current(), processor ? present::Path::kWindowSurface : present::Path::kRenderer)
            << "render driver '" << driver << "': " << present::Describe();
    }
    unsetenv("SDL_RENDER_DRIVER");
    Reopen("");
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

namespace {

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// F12 writes the picture last shown, byte for byte the sim's PNG of it, into
// the pictures folder, twice in a second under two names; the game never hears of it.
TEST_F(SdlPicture, F12SavesTheShownPictureUnseen) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("kawauo-shots-" + std::to_string(getpid()));
    fs::remove_all(folder);
    setenv("XDG_PICTURES_DIR", folder.c_str(), 1);
    window_ = Reopen("surface");
    ASSERT_NE(window_, nullptr);
    host::Present(picture_.pixels.data(), picture_.palette);
    for (int i = 0; i < 2; ++i) {
        PushKey(true, SDLK_F12);
        PushKey(false, SDLK_F12);
    }
    ExpectEvents({}, "F12");
    std::string why;
    const fs::path expected = fs::temp_directory_path() / ("kawauo-expected-" + std::to_string(getpid()) + ".png");
    ASSERT_TRUE(platform::WritePalettePng(expected.string(), picture_.pixels.data(), kScreenWidth, kScreenHeight,
                                          picture_.palette, &why))
        << why;
    std::vector<fs::path> shots;
    for (const auto& entry : fs::directory_iterator(folder / "kawauo")) shots.push_back(entry.path());
    EXPECT_EQ(shots.size(), 2u);
    for (const fs::path& shot : shots) EXPECT_TRUE(FileBytes(shot) == FileBytes(expected)) << shot;
    fs::remove_all(folder);
    fs::remove(expected);
    unsetenv("XDG_PICTURES_DIR");
}

}  // namespace
