// Frame driver, the title and new-game scenes, keys and the per-run state.
#include "game/frame.h"

#include "display/device.h"
#include "display/surface.h"
#include "game/assets.h"
#include "game/drift.h"
#include "game/fish.h"
#include "game/moves.h"
#include "game/play.h"
#include "game/random.h"
#include "game/result.h"
#include "game/river.h"
#include "game/thought.h"
#include "winapi/win.h"

int32_t g_scene;
int32_t g_frameTick;
int32_t g_keyLatch;
FishState g_fish;
int32_t g_pollution;

int32_t TicksSince(int32_t lastTick) { return Wrap32(int64_t{g_frameTick} - lastTick); }

bool KeyHeld(int32_t virtualKey) {
    const int32_t state = GetKeyState(virtualKey);  // SHORT widened with its sign
    return (state & 0xF0) != 0;
}

bool KeyReleased(int32_t virtualKey, int32_t* latch, bool armed) {
    if (KeyHeld(virtualKey)) *latch = 1;
    if (!KeyHeld(virtualKey) && *latch == 1 && armed) {
        *latch = 0;
        return true;
    }
    return false;
}

static int32_t CurrentTick() { return static_cast<int32_t>(GetTickCount()); }

// One whole frame: river, the scene's step, bubbles, flip. The scene the step
// returns runs from the next frame on.
void RunFrame() {
    g_frameTick = CurrentTick();
    ScrollBackground();
    switch (g_scene) {
        case kSceneTitle: g_scene = SceneTitle(); break;
        case kSceneNewGame: g_scene = SceneNewGame(); break;
        case kScenePlay: g_scene = ScenePlay(); break;
        case kSceneResult: g_scene = SceneResult(); break;
        default: break;
    }
    DrawBubbles();
    g_primary->Flip(nullptr, DDFLIP_WAIT);
}

// The title picture over the river until SPACE is pressed and released.
Scene SceneTitle() {
    BltKeyed(g_back, 0, 0, kScreenWidth, kScreenHeight, g_picOpn, 0, 0, kScreenWidth, kScreenHeight);
    return KeyReleased(VK_SPACE, &g_keyLatch) ? kSceneNewGame : kSceneTitle;
}

// Resets the run in one frame that draws nothing of its own. The pollution and
// drain ticks, the pause latch and the moves' phase ticks carry over on purpose.
Scene SceneNewGame() {
    for (SpecialMove& move : g_specialMoves) {
        move.keyLatch = 0;
        move.active = 0;
        move.phase = 0;
    }
    for (int32_t& flag : g_mutation) flag = 0;
    for (int32_t& flag : g_objectActive) flag = 0;
    g_objectInFlight = 0;
    g_paused = 0;
    g_pollution = 1000;

    g_fish.mutationCount = 0;
    g_fish.hp = 5000;
    g_fish.strength = 900;
    g_fish.animFrame = 1;
    g_fish.distanceTick = CurrentTick();
    g_fish.animTick = CurrentTick();
    g_fish.moveTick = CurrentTick();
    g_fish.x = 1;
    g_fish.xStep = 10;
    g_fish.hitOffsetY = 0;
    g_fish.hitOffsetX = 0;
    g_fish.hitHeight = 170;
    g_fish.hitWidth = 170;
    g_fish.y = 310;
    g_fish.yStep = 10;
    g_fish.distance = 0;

    g_thought = Random() % 10;
    g_thoughtTick = CurrentTick();
    return kScenePlay;
}
