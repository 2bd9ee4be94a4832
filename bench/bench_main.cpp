// kawauo-bench: every benchmark in one run, so that their ratios hold on a
// noisy machine. The first use of the font is timed once, before the rest.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_game.h"
#include "game/texts.h"
#include "winapi/text.h"

int main(int argc, char** argv) {
    std::vector<uint8_t> screen(size_t{kScreenWidth} * kScreenHeight);
    const auto start = std::chrono::steady_clock::now();
    DrawTextCp932(screen.data(), kScreenWidth, kScreenHeight, kScreenWidth, 0, 0, kTextKeyHelp,
                  static_cast<int>(std::strlen(kTextKeyHelp)), 15);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", ms);
    benchmark::AddCustomContext("font_first_line", text);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::RegisterBlitBenchmarks();
    bench::RegisterTextBenchmarks();
    bench::RegisterPresentBenchmarks();
    bench::RegisterFrameBenchmarks();
    bench::RegisterWindowPresentBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::StopGame();
    return 0;
}
