// The fish sprite, its swim frames and the nine mutations.
#include "game/fish.h"

#include "display/device.h"
#include "display/surface.h"
#include "game/assets.h"
#include "game/frame.h"

int32_t g_mutation[kMutationCount];

namespace {

constexpr int32_t kFishSize = 170;

enum class Bound { kAtMost, kAtLeast };

struct MutationRule {
    const int32_t* stat;
    Bound bound;
    int32_t limit;
};

// Tested in index order; every bound is inclusive.
const MutationRule kMutationRules[kMutationCount] = {
    {&g_fish.hp, Bound::kAtMost, 1000},        {&g_fish.hp, Bound::kAtLeast, 8332},
    {&g_fish.hp, Bound::kAtLeast, 11664},      {&g_fish.strength, Bound::kAtLeast, 1500},
    {&g_fish.strength, Bound::kAtLeast, 2100}, {&g_fish.strength, Bound::kAtMost, 10},
    {&g_pollution, Bound::kAtMost, 200},       {&g_pollution, Bound::kAtLeast, 1666},
    {&g_pollution, Bound::kAtLeast, 3000},
};

bool RuleHolds(const MutationRule& rule) {
    return rule.bound == Bound::kAtMost ? *rule.stat <= rule.limit : *rule.stat >= rule.limit;
}

void DrawSprite(IDirectDrawSurface* picture, int32_t x, int32_t y) {
    BltKeyed(g_back, x, y, kFishSize, kFishSize, picture, 0, 0, kFishSize, kFishSize);
}

}  // namespace

// The fish at (x, y) with its overlays; the swim frame changes here, so it
// stands still whenever the fish is not drawn.
void DrawFish(int32_t x, int32_t y) {
    if (TicksSince(g_fish.animTick) > 100) {
        g_fish.animFrame = g_fish.animFrame % 2 + 1;
        g_fish.animTick = g_frameTick;
    }
    if (g_fish.animFrame == 1) {
        if (g_scene != kSceneResult) DrawSprite(g_picFishT, x, y);
        DrawSprite(g_picFish1, x, y);
    } else if (g_fish.animFrame == 2) {
        DrawSprite(g_picFish2, x, y);
    }
    for (int i = 0; i < kMutationCount; ++i)
        if (g_mutation[i] == 1) DrawSprite(g_picHenge[i], x, y);
}

// Grants every mutation whose bound is newly met, each once per run, and
// flashes the screen once if any was granted.
void CheckMutations() {
    bool flash = false;
    for (int i = 0; i < kMutationCount; ++i) {
        if (RuleHolds(kMutationRules[i]) && g_mutation[i] == 0) {
            g_mutation[i] = 1;
            flash = true;
            g_fish.mutationCount = Wrap32(int64_t{g_fish.mutationCount} + 1);
        }
    }
    if (flash) BltStretch(g_back, 0, 0, kScreenWidth, kScreenHeight, g_picBack2, 0, 0, kScreenWidth, kScreenHeight);
}
