// The invariants checked after every frame of the soak run: the game's state
// against the state before the frame, and the frame's draw log.
#pragma once
#include <cstdint>
#include <vector>

#include "game/drift.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/river.h"
#include "hosts/headless/headless.h"
#include "tests/soak/soak.h"

namespace soak {

// The game's state as a frame left it.
struct GameView {
    int32_t scene;
    int32_t frameTick;
    int32_t keyLatch;
    int32_t paused;
    int32_t pauseLatch;
    int32_t pollutionTick;
    int32_t drainTick;
    FishState fish;
    int32_t pollution;
    int32_t mutation[9];
    SpecialMove moves[kMoveCount];
    DriftObject drift[kDriftSlots];
    int32_t objectActive[kDriftSlots];
    int32_t objectInFlight;
    int32_t thought;
    int32_t thoughtTick;
    int32_t scrollX;
    BubbleSprite bubbles[kBubbleCount];
};

GameView ReadGame();

// The slot of the floating object in flight, or -1.
inline int32_t ActiveSlot(const GameView& g) {
    for (int i = 0; i < kDriftSlots; ++i)
        if (g.objectActive[i] == 1) return i;
    return -1;
}

// Checks one frame: `before` is the state the frame started from, `after`
// the state it left; `draws` its draw log, ending with the flip. While the
// surfaces are lost no text reaches the back buffer, so none is asked for.
void CheckFrame(const Context& context, const GameView& before, const GameView& after,
                const std::vector<winapi::DrawNote>& draws, bool lost, Tally* tally);
// The draw log part of CheckFrame.
void CheckDraws(const Context& context, const GameView& before, const GameView& after,
                const std::vector<winapi::DrawNote>& draws, bool lost, Tally* tally);

}  // namespace soak
