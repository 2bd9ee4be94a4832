// The hosts' frame pacing report (see frame_stats.h).
#include "hosts/core/frame_stats.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr uint64_t kReportNs = 10 * uint64_t{1000000000};

struct FrameStats {
    bool on = false;
    const char* (*describe)() = nullptr;
    uint64_t start = 0;
    uint64_t last = 0;
    std::vector<double> intervals;  // milliseconds
};

FrameStats g_stats;

void Report() {
    std::vector<double> sorted = g_stats.intervals;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double v : sorted) sum += v;
    size_t p99 = std::min(sorted.size() - 1, sorted.size() * 99 / 100);
    std::fprintf(stderr, "kawauo: frame pacing: %zu presents, mean %.3f ms, p99 %.3f ms, max %.3f ms, %s\n",
                 sorted.size(), sum / static_cast<double>(sorted.size()), sorted[p99], sorted.back(),
                 g_stats.describe());
    std::fflush(stderr);
}

}  // namespace

namespace core::frame_stats {

void Start(const char* (*describe)()) {
    g_stats = FrameStats{};
    g_stats.on = std::getenv("KAWAUO_FRAME_STATS") != nullptr;
    g_stats.describe = describe;
}

void NoteShown(uint64_t nowNs) {
    if (!g_stats.on) return;
    if (g_stats.start == 0) g_stats.start = nowNs;
    if (g_stats.last != 0) g_stats.intervals.push_back(static_cast<double>(nowNs - g_stats.last) / 1e6);
    g_stats.last = nowNs;
    if (nowNs - g_stats.start < kReportNs || g_stats.intervals.empty()) return;
    Report();
    g_stats.intervals.clear();
    g_stats.start = nowNs;
}

}  // namespace core::frame_stats
