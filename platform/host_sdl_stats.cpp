// The SDL host's frame statistics: with KAWAUO_FRAME_STATS=1 in the
// environment, the present intervals (mean, 99th percentile, worst) go to
// standard error every 10 seconds.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/host_sdl_internal.h"
#include "platform/present_sdl.h"

namespace {

constexpr int kStatsSeconds = 10;

struct FrameStats {
    bool on = false;
    uint64_t start = 0;
    std::vector<double> intervals;  // milliseconds
};

FrameStats g_stats;

void Report() {
    std::vector<double> sorted = g_stats.intervals;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double v : sorted) sum += v;
    size_t p99 = std::min(sorted.size() - 1, sorted.size() * 99 / 100);
    std::fprintf(stderr, "kawauo: frame pacing: %zu presents, mean %.3f ms, p99 %.3f ms, max %.3f ms, %s, %s\n",
                 sorted.size(), sum / sorted.size(), sorted[p99], sorted.back(),
                 sdlhost::PacedByVsync() ? "vsync" : "timer", present::Describe());
}

}  // namespace

namespace sdlhost {

void StartFrameStats() { g_stats.on = std::getenv("KAWAUO_FRAME_STATS") != nullptr; }

void NoteInterval(uint64_t now, uint64_t interval) {
    if (!g_stats.on) return;
    if (g_stats.start == 0) g_stats.start = now;
    if (interval != 0) g_stats.intervals.push_back(static_cast<double>(interval) / 1e6);
    if (now - g_stats.start < kStatsSeconds * uint64_t{1000000000} || g_stats.intervals.empty()) return;
    Report();
    g_stats.intervals.clear();
    g_stats.start = now;
}

}  // namespace sdlhost
