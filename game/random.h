// The game's random numbers: the classic runtime's linear congruential
// generator, built here so that a seed gives the same run on every machine.
#pragma once
#include <cstdint>

void SeedRandom(uint32_t seed);
int32_t Random();  // 0..32767
