// The play scene: pause, keys, movement, timers, HUD and the end of a run.
#include "game/play.h"

#include <cstdio>

#include "display/device.h"
#include "display/surface.h"
#include "game/assets.h"
#include "game/colours.h"
#include "game/drift.h"
#include "game/fish.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/random.h"
#include "game/texts.h"
#include "game/thought.h"
#include "winapi/win.h"

int32_t g_paused;
int32_t g_pauseLatch;
int32_t g_pollutionTick;
int32_t g_drainTick;

namespace {

constexpr int32_t kMaxX = 235;  // keeps the 170-pixel sprite's right edge at 405
constexpr int32_t kMaxY = 310;  // keeps its bottom edge on screen

// The move keys in the order they are read; fait's start tick is a fresh
// reading of the clock, the others take the frame tick.
struct MoveKey {
    int32_t key;
    int32_t move;
    bool freshTick;
};
constexpr MoveKey kMoveKeys[] = {
    {VK_F3, kMoveFait, true},
    {VK_F1, kMoveSokodikara, false},
    {VK_F2, kMoveTomogui, false},
};

void StartMoves() {
    for (const MoveKey& entry : kMoveKeys) {
        SpecialMove& move = g_specialMoves[entry.move];
        if (KeyReleased(entry.key, &move.keyLatch, move.active == 0)) {
            move.phase = 0;
            move.active = 1;
            move.phaseTick = entry.freshTick ? static_cast<int32_t>(GetTickCount()) : g_frameTick;
        }
    }
}

int32_t Clamp(int32_t value, int32_t high) {
    if (value < 0) return 0;
    if (value > high) return high;
    return value;
}

void MoveFish() {
    if (TicksSince(g_fish.moveTick) < 30) return;
    if (KeyHeld(VK_UP)) g_fish.y = Wrap32(int64_t{g_fish.y} - g_fish.yStep);
    if (KeyHeld(VK_DOWN)) g_fish.y = Wrap32(int64_t{g_fish.y} + g_fish.yStep);
    if (KeyHeld(VK_LEFT)) g_fish.x = Wrap32(int64_t{g_fish.x} - g_fish.xStep);
    if (KeyHeld(VK_RIGHT)) g_fish.x = Wrap32(int64_t{g_fish.x} + g_fish.xStep);
    g_fish.moveTick = g_frameTick;
    g_fish.y = Clamp(g_fish.y, kMaxY);
    g_fish.x = Clamp(g_fish.x, kMaxX);
}

void RunTimers() {
    if (TicksSince(g_pollutionTick) > 1000) {
        g_pollution = Wrap32(int64_t{g_pollution} + Random() % 5 + 1);
        g_pollutionTick = g_frameTick;
    }
    if (TicksSince(g_drainTick) > 500) {
        int32_t drain = Wrap32(int64_t{g_pollution} - g_fish.strength);
        if (drain < 10) drain = Random() % 10 + 1;
        g_fish.hp = Wrap32(int64_t{g_fish.hp} - drain);
        g_drainTick = g_frameTick;
    }
}

void DrawHud() {
    char lineA[256];
    char lineB[256];
    char lineC[256];
    std::snprintf(lineA, sizeof lineA, kTextPollutionDistance, g_pollution, g_fish.distance);
    std::snprintf(lineB, sizeof lineB, kTextHudHp, g_fish.hp);
    std::snprintf(lineC, sizeof lineC, kTextHudStrength, g_fish.strength);
    DrawString(0, 0, kTextKeyHelp, kYellow);
    DrawString(0, 20, lineA, kCyan);
    DrawString(0, 40, lineB, kCyan);
    DrawString(0, 60, lineC, kCyan);
}

void RunningStep() {
    // A release of SPACE pauses from the next frame; this one still runs whole.
    if (KeyReleased(VK_SPACE, &g_pauseLatch)) g_paused = 1;
    StartMoves();
    MoveFish();
    if (TicksSince(g_fish.distanceTick) > 100) {
        g_fish.distance = Wrap32(int64_t{g_fish.distance} + 1);
        g_fish.distanceTick = g_frameTick;
    }
    UpdateSpecialMove(kMoveSokodikara);  // under the fish
    CheckMutations();
    DrawFish(g_fish.x, g_fish.y);
    DrawThought(300, 340);
    UpdateSpecialMove(kMoveFait);  // over the fish and the thought
    UpdateSpecialMove(kMoveTomogui);
    UpdateDriftObjects();
    RunTimers();
    DrawHud();
}

void PausedStep() {
    BltKeyed(g_back, 0, 0, kScreenWidth, kScreenHeight, g_picPush, 0, 0, kScreenWidth, kScreenHeight);
    if (KeyReleased(VK_SPACE, &g_pauseLatch)) g_paused = 0;
}

}  // namespace

// One play frame, paused or running, then the end check: the run ends on
// eight mutations or hp at 0 or below even while TAB is held, else on TAB's
// release.
Scene ScenePlay() {
    if (g_paused != 0) {
        PausedStep();
    } else {
        RunningStep();
    }
    if (KeyHeld(VK_TAB)) g_keyLatch = 1;
    if (g_fish.mutationCount >= 8 || g_fish.hp <= 0) {
        g_keyLatch = 0;
        return kSceneResult;
    }
    if (KeyHeld(VK_TAB)) return kScenePlay;
    if (g_keyLatch != 1) return kScenePlay;
    g_keyLatch = 0;
    return kSceneResult;
}
