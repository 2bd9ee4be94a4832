// The three special moves: fait (F3), sokodikara (F1), tomogui (F2).
#include "game/moves.h"

#include "display/device.h"
#include "display/surface.h"
#include "game/assets.h"
#include "game/colours.h"
#include "game/frame.h"
#include "game/random.h"
#include "game/texts.h"

SpecialMove g_specialMoves[kMoveCount];

namespace {

constexpr int32_t kPictureSize = 170;
constexpr int32_t kEffectPhase = 3;

// Each move's message has a row of its own, so all three can show at once.
struct MoveMessage {
    int32_t y;
    winapi::texts::Text text;
};
const MoveMessage kMessages[kMoveCount] = {
    {400, kTextMoveFait},
    {440, kTextMoveSokodikara},
    {420, kTextMoveTomogui},
};

void AddTo(int32_t* stat, int64_t amount) { *stat = Wrap32(*stat + amount); }

// Random numbers are drawn in exactly this order, each right before its use.
void ApplyEffect(int32_t index) {
    switch (index) {
        case kMoveFait:
            AddTo(&g_pollution, Random() % 10 + 25);
            AddTo(&g_fish.strength, Random() % 10 + 30);
            break;
        case kMoveSokodikara:
            AddTo(&g_pollution, -(Random() % 10 + 11));
            AddTo(&g_fish.hp, -(Random() % 25 + 25));
            AddTo(&g_fish.strength, -(Random() % 10 + 10));
            break;
        case kMoveTomogui: {
            // The excess is measured before this move's own pollution rise.
            int32_t excess = Wrap32(int64_t{g_pollution} - g_fish.strength);
            if (excess < 10) excess = Random() % 10 + 1;
            AddTo(&g_pollution, Random() % 10 + 20);
            AddTo(&g_fish.hp, int64_t{excess} * 3 + Random() % 150);
            break;
        }
        default: break;
    }
}

}  // namespace

// Advances, draws and finishes one move: three pictures at the fish, then
// the effect in the frame after the third; the message shows throughout.
void UpdateSpecialMove(int32_t index) {
    SpecialMove& move = g_specialMoves[index];
    if (move.active != 1) return;
    if (move.phase >= 0 && move.phase < kEffectPhase) {
        BltKeyed(g_back, g_fish.x, g_fish.y, kPictureSize, kPictureSize, g_picMove[index][move.phase], 0, 0,
                 kPictureSize, kPictureSize);
    } else if (move.phase == kEffectPhase) {
        ApplyEffect(index);
        move.active = 0;
    }
    DrawString(0, kMessages[index].y, kMessages[index].text, kWhite);
    if (g_pollution < 10) g_pollution = Random() % 10 + 5;
    if (g_fish.strength < 0) g_fish.strength = 0;
    if (TicksSince(move.phaseTick) > 100) {
        move.phaseTick = g_frameTick;
        move.phase = Wrap32(int64_t{move.phase} + 1);
    }
}
