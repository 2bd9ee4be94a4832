// The game's random generator: the classic runtime's 32-bit linear
// congruential generator, so that one seed gives one run everywhere.
#include "game/random.h"

static uint32_t s_state = 1;  // the runtime's state before any seeding

void SeedRandom(uint32_t seed) { s_state = seed; }

int32_t Random() {
    s_state = s_state * 214013u + 2531011u;
    return static_cast<int32_t>((s_state >> 16) & 0x7FFF);
}
