// What the SDL host's tests share: the host opened on SDL's offscreen video
// driver, events pushed into SDL as a player's, and the game's events read back.
#pragma once
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

#include "winapi/host.h"

namespace sdltest {

inline std::string Describe(const std::vector<winapi::host::Event>& events) {
    static const char* const kNames[] = {"KeyDown", "KeyUp", "Activate", "Deactivate", "Close"};
    std::string s;
    for (const winapi::host::Event& e : events) {
        s += kNames[static_cast<int>(e.kind)];
        if (e.kind == winapi::host::EventKind::KeyDown || e.kind == winapi::host::EventKind::KeyUp)
            s += " " + std::to_string(e.virtualKey);
        s += "; ";
    }
    return s;
}

inline std::vector<winapi::host::Event> Drain() {
    std::vector<winapi::host::Event> events;
    winapi::host::Event e;
    while (winapi::host::PollEvent(&e)) events.push_back(e);
    return events;
}

inline winapi::host::Event Key(bool down, int vk) {
    return winapi::host::Event{down ? winapi::host::EventKind::KeyDown : winapi::host::EventKind::KeyUp, vk};
}

// SDL holds back some events a while (a Guide button's release comes at
// least a quarter second after its press), so the expected ones are awaited.
inline void ExpectEvents(const std::vector<winapi::host::Event>& expected, const char* what) {
    std::vector<winapi::host::Event> actual = Drain();
    for (Uint64 giveUp = SDL_GetTicks64() + 2000; actual.size() < expected.size() && SDL_GetTicks64() < giveUp;) {
        SDL_Delay(5);
        std::vector<winapi::host::Event> more = Drain();
        actual.insert(actual.end(), more.begin(), more.end());
    }
    EXPECT_EQ(Describe(actual), Describe(expected)) << what;
}

inline void PushKey(bool down, SDL_Keycode key, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

inline void PushWindowEvent(Uint8 event) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    SDL_PushEvent(&e);
}

inline SDL_Window* GameWindow() {
    for (Uint32 id = 1; id < 1000; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id)) return w;
    return nullptr;
}

class SdlHost : public testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);  // no window has the focus here
        ASSERT_TRUE(winapi::host::OpenDisplay("2DGAME")) << SDL_GetError();
    }
    void SetUp() override {
        window_ = GameWindow();
        ASSERT_NE(window_, nullptr);
        Drain();
    }
    SDL_Window* window_ = nullptr;
};

// A keyboard key and the game's virtual key it stands for, 0 for none.
struct KeyRow {
    SDL_Keycode key;
    int vk;
};

// Each key pressed and let go: the game hears its virtual key go down and up,
// or nothing at all.
template <size_t N>
void ExpectKeyPresses(const KeyRow (&rows)[N]) {
    for (const KeyRow& row : rows) {
        PushKey(true, row.key);
        PushKey(false, row.key);
        std::vector<winapi::host::Event> expected;
        if (row.vk != 0) expected = {Key(true, row.vk), Key(false, row.vk)};
        ExpectEvents(expected, SDL_GetKeyName(row.key));
    }
}

}  // namespace sdltest
