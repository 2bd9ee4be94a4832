// The core's writer of files: screenshots and settings are encoded and
// written here, on a thread of their own where the driver has threads, so
// that no frame waits for a disk. Jobs run one at a time, in order.
#pragma once
#include <functional>

namespace core {

// Runs `job` after every job handed over before it: on the writer's thread
// where the driver has threads, else here and now.
void WriteAside(std::function<void()> job);

// Returns once every job handed over has run (before the program ends).
void FinishWriting();

}  // namespace core
