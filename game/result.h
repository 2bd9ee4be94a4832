// The result screen.
#pragma once
#include <cstdint>

#include "game/frame.h"  // Scene

Scene SceneResult();
