// The fish's thought line beside it during play.
#pragma once
#include <cstdint>

extern int32_t g_thought;
extern int32_t g_thoughtTick;

void DrawThought(int32_t x, int32_t y);
