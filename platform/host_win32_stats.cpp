// The Win32 host's frame statistics: with KAWAUO_FRAME_STATS=1 in the
// environment, the present intervals (mean, 99th percentile, worst) go to
// standard error every 10 seconds (seen under Wine, or when redirected).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/host_win32_internal.h"

namespace {

constexpr int64_t kStatsSeconds = 10;

struct FrameStats {
    bool on = false;
    int64_t frequency = 1;
    int64_t start = 0;
    int64_t last = 0;
    std::vector<double> intervals;  // milliseconds
};

FrameStats g_stats;

void Report() {
    std::vector<double> sorted = g_stats.intervals;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double v : sorted) sum += v;
    size_t p99 = std::min(sorted.size() - 1, sorted.size() * 99 / 100);
    std::fprintf(stderr, "kawauo: frame pacing: %zu presents, mean %.3f ms, p99 %.3f ms, max %.3f ms, waitable timer\n",
                 sorted.size(), sum / static_cast<double>(sorted.size()), sorted[p99], sorted.back());
    std::fflush(stderr);
}

}  // namespace

namespace win32host {

void StartFrameStats(int64_t frequency) {
    g_stats = FrameStats{};
    g_stats.on = std::getenv("KAWAUO_FRAME_STATS") != nullptr;
    g_stats.frequency = frequency;
}

void NoteShown(int64_t now) {
    if (!g_stats.on) return;
    if (g_stats.start == 0) g_stats.start = now;
    if (g_stats.last != 0)
        g_stats.intervals.push_back(static_cast<double>(now - g_stats.last) * 1000.0 / g_stats.frequency);
    g_stats.last = now;
    if (now - g_stats.start < kStatsSeconds * g_stats.frequency || g_stats.intervals.empty()) return;
    Report();
    g_stats.intervals.clear();
    g_stats.start = now;
}

}  // namespace win32host
