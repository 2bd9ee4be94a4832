// The result screen: the final fish, its figures and three verdicts.
#include "game/result.h"

#include <cstdio>

#include "display/surface.h"
#include "game/colours.h"
#include "game/fish.h"
#include "game/frame.h"
#include "game/texts.h"
#include "winapi/win.h"

namespace {

constexpr int32_t kLeft = 235;

// Row 0 to 3 of a verdict table: the first whose upper bound holds.
int32_t VerdictRow(int32_t value, int32_t bound1, int32_t bound2, int32_t bound3) {
    if (value <= bound1) return 0;
    if (value <= bound2) return 1;
    if (value <= bound3) return 2;
    return 3;
}

const winapi::texts::Text kMutationVerdicts[] = {kTextVerdictMutation1, kTextVerdictMutation2, kTextVerdictMutation3,
                                                 kTextVerdictMutation4};
const winapi::texts::Text kDistanceVerdicts[] = {kTextVerdictDistance1, kTextVerdictDistance2, kTextVerdictDistance3,
                                                 kTextVerdictDistance4};
const winapi::texts::Text kPollutionVerdicts[] = {kTextVerdictPollution1, kTextVerdictPollution2,
                                                  kTextVerdictPollution3, kTextVerdictPollution4};

}  // namespace

// Drawn afresh every frame until SPACE is pressed and released.
Scene SceneResult() {
    DrawFish(kLeft, 155);
    char a[256];
    char b[256];
    char c[256];
    std::snprintf(a, sizeof a, kTextPollutionDistance, g_pollution, g_fish.distance);
    std::snprintf(b, sizeof b, kTextResultHpStrength, g_fish.hp, g_fish.strength);
    std::snprintf(c, sizeof c, kTextResultMutation, g_fish.mutationCount);
    DrawString(kLeft, 325, a, kWhite);
    DrawString(kLeft, 345, b, kWhite);
    DrawString(kLeft, 365, c, kWhite);

    std::snprintf(a, sizeof a, "%s",
                  static_cast<const char*>(kMutationVerdicts[VerdictRow(g_fish.mutationCount, 2, 4, 6)]));
    std::snprintf(b, sizeof b, "%s",
                  static_cast<const char*>(kDistanceVerdicts[VerdictRow(g_fish.distance, 1000, 2000, 3000)]));
    std::snprintf(c, sizeof c, "%s",
                  static_cast<const char*>(kPollutionVerdicts[VerdictRow(g_pollution, 1000, 2000, 3000)]));
    DrawString(kLeft, 385, a, kYellow);
    DrawString(kLeft, 405, b, kYellow);
    DrawString(kLeft, 425, c, kYellow);

    return KeyReleased(VK_SPACE, &g_keyLatch) ? kSceneTitle : kSceneResult;
}
