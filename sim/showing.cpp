// What the game shows now, from its scene and its pause.
#include "sim/showing.h"

#include "game/frame.h"
#include "game/play.h"

namespace sim {

// A new game's one setting-up frame is already play as far as the keys go.
Showing ShowingNow() {
    switch (g_scene) {
    case kSceneNewGame:
    case kScenePlay:
        return g_paused != 0 ? Showing::kPaused : Showing::kPlay;
    case kSceneResult:
        return Showing::kResult;
    default:
        return Showing::kTitle;
    }
}

}  // namespace sim
