// What the rest of the core and the drivers ask of the seam (core/seam.cpp).
#pragma once

namespace core {

// Queues a change of the game's key `virtualKey` for the game.
void TellGame(int virtualKey, bool down);

// Back to a fresh start: nothing queued, no key down, the clock running,
// the display closed (the headless driver's reset, between tests).
void ForgetSeam();

}  // namespace core
