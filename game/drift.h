// Floating objects drifting in from the right, one at a time.
#pragma once
#include <cstdint>

struct DriftObject {
    int32_t value;
    int32_t moveTick;
    int32_t moveInterval;
    int32_t x;
    int32_t step;
    int32_t y;
    int32_t size;
};

constexpr int kDriftSlots = 6;
extern DriftObject g_drift[kDriftSlots];
extern int32_t g_objectActive[kDriftSlots];
extern int32_t g_objectInFlight;

void UpdateDriftObjects();
