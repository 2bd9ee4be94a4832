// The fish's thought line beside it during play.
#include "game/thought.h"

#include <cstdio>

#include "display/surface.h"
#include "game/colours.h"
#include "game/frame.h"
#include "game/random.h"
#include "game/texts.h"

int32_t g_thought;
int32_t g_thoughtTick;

namespace {

constexpr int32_t kThoughtCount = 10;

// Lines 0 to 4 report a figure, read afresh each frame; the rest are fixed.
struct Thought {
    winapi::texts::Text text;
    const int32_t* value;
};
const Thought kThoughts[kThoughtCount] = {
    {kTextThought0, &g_fish.hp},
    {kTextThought1, &g_fish.strength},
    {kTextThought2, &g_pollution},
    {kTextThought3, &g_fish.distance},
    {kTextThought4, &g_fish.mutationCount},
    {kTextThought5, nullptr},
    {kTextThought6, nullptr},
    {kTextThought7, nullptr},
    {kTextThought8, nullptr},
    {kTextThought9, nullptr},
};

}  // namespace

// Every five seconds of frame ticks a new line is drawn at random; the new
// start tick is a fresh clock reading, not the frame tick.
void DrawThought(int32_t x, int32_t y) {
    if (TicksSince(g_thoughtTick) >= 5000) {
        g_thought = Random() % kThoughtCount;
        g_thoughtTick = static_cast<int32_t>(GetTickCount());
    }
    const Thought& thought = kThoughts[g_thought];
    char line[256];
    if (thought.value != nullptr) {
        std::snprintf(line, sizeof line, thought.text, *thought.value);
    } else {
        std::snprintf(line, sizeof line, "%s", static_cast<const char*>(thought.text));
    }
    DrawString(x, y, line, kCyan);
}
