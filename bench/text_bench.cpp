// Text: the lines of a busy play frame through DrawString (device context,
// colour match, glyphs) and through the glyph drawing alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_game.h"
#include "display/device.h"
#include "display/surface.h"
#include "game/texts.h"
#include "winapi/text.h"

namespace bench {
namespace {

struct Line {
    int x, y;
    std::string text;  // CP932
    COLORREF colour;
};

std::string Format(const char* format, int value) {
    char line[256];
    std::snprintf(line, sizeof line, format, value);
    return line;
}

// The HUD, the thought line, the three move messages and a floating object's
// two lines: ten lines, as many as play ever shows at once.
std::vector<Line> PlayLines() {
    char distance[256];
    std::snprintf(distance, sizeof distance, kTextPollutionDistance, 1234, 567);
    return {
        {0, 0, std::string(kTextKeyHelp), 0x0000FFFF},        {0, 20, distance, 0x00FFFF00},
        {0, 40, Format(kTextHudHp, 4321), 0x00FFFF00},        {0, 60, Format(kTextHudStrength, 900), 0x00FFFF00},
        {300, 340, Format(kTextThought0, 4321), 0x00FFFF00},  {0, 400, std::string(kTextMoveFait), 0x00FFFFFF},
        {0, 420, std::string(kTextMoveTomogui), 0x00FFFFFF},  {0, 440, std::string(kTextMoveSokodikara), 0x00FFFFFF},
        {420, 60, Format(kTextDriftValue, -120), 0x00FF00FF}, {300, 300, std::string(kTextDriftWarning), 0x00FFFF00},
    };
}

void BM_DrawString(benchmark::State& state) {
    if (!StartGame()) return state.SkipWithError("no game");
    const std::vector<Line> lines = PlayLines();
    for (auto _ : state) {
        for (const Line& line : lines) DrawString(line.x, line.y, line.text.c_str(), line.colour);
        benchmark::ClobberMemory();
    }
    state.counters["lines"] = static_cast<double>(lines.size());
}

void BM_GlyphsOnly(benchmark::State& state) {
    const std::vector<Line> lines = PlayLines();
    std::vector<uint8_t> screen(size_t{kScreenWidth} * kScreenHeight);
    for (auto _ : state) {
        for (const Line& line : lines) {
            DrawTextCp932(screen.data(), kScreenWidth, kScreenHeight, kScreenWidth, line.x, line.y, line.text.data(),
                          static_cast<int>(line.text.size()), 15);
        }
        benchmark::ClobberMemory();
    }
    state.counters["lines"] = static_cast<double>(lines.size());
}

}  // namespace

void RegisterTextBenchmarks() {
    benchmark::RegisterBenchmark("Text/DrawString/PlayLines", BM_DrawString);
    benchmark::RegisterBenchmark("Text/GlyphsOnly/PlayLines", BM_GlyphsOnly);
}

}  // namespace bench
