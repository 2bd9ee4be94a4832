// The result screen.
#pragma once
#include <cstdint>

int32_t SceneResult();
