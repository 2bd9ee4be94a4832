// Floating objects drifting in from the right, one at a time.
#include "game/drift.h"

#include <cstdio>

#include "display/device.h"
#include "display/surface.h"
#include "game/assets.h"
#include "game/colours.h"
#include "game/frame.h"
#include "game/random.h"
#include "game/texts.h"

DriftObject g_drift[kDriftSlots];
int32_t g_objectActive[kDriftSlots];
int32_t g_objectInFlight;

namespace {

// The slot a value selects: the lower the value, the bigger the object.
int32_t SlotForValue(int32_t value) {
    if (value <= -1500) return 5;
    if (value <= -1000) return 4;
    if (value <= -500) return 3;
    if (value <= 0) return 2;
    if (value <= 500) return 1;
    return 0;
}

// One chance in thirty per call, and only while nothing is in flight.
void TrySpawn() {
    if (g_objectInFlight != 0) return;
    if (Random() % 30 != 1) return;
    g_objectInFlight = 1;
    const int32_t value = Random() % 3000 - 2000;
    const int32_t slot = SlotForValue(value);
    g_objectActive[slot] = 1;
    DriftObject& object = g_drift[slot];
    object.step = 10;
    object.x = kScreenWidth - object.size;
    object.y = Random() % (kScreenHeight - object.size);
    object.moveTick = static_cast<int32_t>(GetTickCount());
    object.moveInterval = Random() % 100 + 50;
    object.value = value;
}

bool Within(int32_t value, int32_t low, int32_t high) { return low <= value && value <= high; }

// Only the object's edges count: one that spans the whole box on an axis
// with neither edge inside misses on that axis. The box's right and bottom
// edges add the size to the position, not to the offset edge.
bool HitsFish(const DriftObject& object) {
    const int32_t fishLeft = Wrap32(int64_t{g_fish.x} + g_fish.hitOffsetX);
    const int32_t fishRight = Wrap32(int64_t{g_fish.x} + g_fish.hitWidth);
    const int32_t fishTop = Wrap32(int64_t{g_fish.y} + g_fish.hitOffsetY);
    const int32_t fishBottom = Wrap32(int64_t{g_fish.y} + g_fish.hitHeight);
    const int32_t right = Wrap32(int64_t{object.x} + object.size);
    const int32_t bottom = Wrap32(int64_t{object.y} + object.size);
    const bool across = Within(object.x, fishLeft, fishRight) || Within(right, fishLeft, fishRight);
    const bool down = Within(object.y, fishTop, fishBottom) || Within(bottom, fishTop, fishBottom);
    return across && down;
}

void UpdateSlot(int32_t slot) {
    DriftObject& object = g_drift[slot];
    if (TicksSince(object.moveTick) >= object.moveInterval) {
        object.x = Wrap32(int64_t{object.x} - object.step);
        object.moveTick = g_frameTick;
    }
    BltKeyed(g_back, object.x, object.y, object.size, object.size, g_picSyougai[slot], 0, 0, object.size, object.size);
    char text[256];
    std::snprintf(text, sizeof text, kTextDriftValue, object.value);
    DrawString(object.x, object.y, text, kMagenta);
    DrawString(300, 300, kTextDriftWarning, kCyan);
    // A leaving object still takes its hit test in the same pass.
    if (object.x <= -object.size) {
        g_objectActive[slot] = 0;
        g_objectInFlight = 0;
    }
    if (HitsFish(object)) {
        BltStretch(g_back, 0, 0, kScreenWidth, kScreenHeight, g_picBack3, 0, 0, kScreenWidth, kScreenHeight);
        g_fish.hp = Wrap32(int64_t{g_fish.hp} + object.value);
        g_objectActive[slot] = 0;
        g_objectInFlight = 0;
    }
}

}  // namespace

// The spawn try, then one pass over the slots in flight, the new one included.
void UpdateDriftObjects() {
    TrySpawn();
    for (int32_t slot = 0; slot < kDriftSlots; ++slot)
        if (g_objectActive[slot] == 1) UpdateSlot(slot);
}
