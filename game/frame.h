// Frame driver, scenes, keys and the per-run state shared by the game.
#pragma once
#include <cstdint>

enum Scene : int32_t { kSceneTitle = 0, kSceneNewGame = 1, kScenePlay = 2, kSceneResult = 3 };

struct FishState {
    int32_t hp;
    int32_t strength;
    int32_t animFrame;
    int32_t distanceTick;
    int32_t animTick;
    int32_t moveTick;
    int32_t x;
    int32_t xStep;
    int32_t hitOffsetX;
    int32_t hitWidth;
    int32_t y;
    int32_t yStep;
    int32_t hitOffsetY;
    int32_t hitHeight;
    int32_t distance;
    int32_t mutationCount;
};

extern int32_t g_scene;
extern int32_t g_frameTick;
extern int32_t g_keyLatch;
extern FishState g_fish;
extern int32_t g_pollution;

// 32-bit arithmetic as the game's machine does it: the 64-bit result of a
// sum or product of 32-bit values, wrapped to 32 bits instead of overflowing.
constexpr int32_t Wrap32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

// Milliseconds from `lastTick` to this frame's tick, as a wrapping difference,
// so that a timer stays right when the millisecond tick wraps.
int32_t TicksSince(int32_t lastTick);

// A key counts as held while its GetKeyState result, sign-extended, has a bit
// of 0xF0 set. Each call is a fresh reading.
bool KeyHeld(int32_t virtualKey);
// Press-and-release trigger: the latch is set while the key is held, and the
// trigger fires (clearing it) at the first reading that finds the key up with
// the latch set and `armed` true.
bool KeyReleased(int32_t virtualKey, int32_t* latch, bool armed = true);

void RunFrame();
Scene SceneTitle();
Scene SceneNewGame();
