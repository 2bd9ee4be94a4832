// Frame pacing statistics every host reports the same way: with
// KAWAUO_FRAME_STATS=1 in the environment, the intervals between shown
// frames (mean, 99th percentile, worst) go to standard error every 10 seconds.
#pragma once
#include <cstdint>

namespace core::frame_stats {

// `describe` names how the host paces its frames ("timer", "vsync, ..."),
// asked once a report.
void Start(const char* (*describe)());

// A frame was shown at `nowNs`, nanoseconds on the host's steady clock.
void NoteShown(uint64_t nowNs);

}  // namespace core::frame_stats
