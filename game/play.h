// The play scene: pause, keys, movement, timers, HUD and the end of a run.
#pragma once
#include <cstdint>

#include "game/frame.h"  // Scene

extern int32_t g_paused;
extern int32_t g_pauseLatch;
extern int32_t g_pollutionTick;
extern int32_t g_drainTick;

Scene ScenePlay();
