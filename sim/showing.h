// What the game shows now, read between its frames for a host's page to say
// what the keys do: the title, play, play paused, or the result.
#pragma once

namespace sim {

enum class Showing { kTitle = 0, kPlay = 1, kPaused = 2, kResult = 3 };

Showing ShowingNow();

}  // namespace sim
