// Blits: our unkeyed and keyed copies against memcpy and SDL_BlitSurface on
// 8-bit surfaces with the same pictures, key and palette.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_game.h"
#include "display/device.h"
#include "display/surface.h"
#include "game/assets.h"

namespace bench {
namespace {

struct BlitCase {
    const char* name;
    IDirectDrawSurface* const* picture;  // an asset holder: the pictures load after registration
    bool keyed;
    int x, y;    // destination
    int sx, sy;  // source
    int w, h;
};

// Screen-sized, sprite-sized and bubble-sized, each on screen and cut at an edge.
const BlitCase kCases[] = {
    {"Unkeyed/640x480/Unclipped", &g_picBack, false, 0, 0, 0, 0, 640, 480},
    {"Unkeyed/640x480/Clipped", &g_picBack, false, -100, 60, 0, 0, 640, 480},
    {"Unkeyed/170x170/Unclipped", &g_picFish1, false, 200, 250, 0, 0, 170, 170},
    {"Unkeyed/170x170/Clipped", &g_picFish1, false, -50, 400, 0, 0, 170, 170},
    {"Unkeyed/16x16/Unclipped", &g_picAwa, false, 100, 100, 96, 0, 16, 16},
    {"Unkeyed/16x16/Clipped", &g_picAwa, false, 632, 472, 96, 0, 16, 16},
    {"Keyed/640x480/Unclipped", &g_picOpn, true, 0, 0, 0, 0, 640, 480},
    {"Keyed/640x480/Clipped", &g_picOpn, true, -100, 60, 0, 0, 640, 480},
    {"Keyed/170x170/Unclipped", &g_picFish1, true, 200, 250, 0, 0, 170, 170},
    {"Keyed/170x170/Clipped", &g_picFish1, true, -50, 400, 0, 0, 170, 170},
    {"Keyed/16x16/Unclipped", &g_picAwa, true, 100, 100, 96, 0, 16, 16},
    {"Keyed/16x16/Clipped", &g_picAwa, true, 632, 472, 96, 0, 16, 16},
};

void Ours(const BlitCase& c) {
    if (c.keyed) {
        BltKeyed(g_back, c.x, c.y, c.w, c.h, *c.picture, c.sx, c.sy, c.w, c.h);
    } else {
        BltStretch(g_back, c.x, c.y, c.w, c.h, *c.picture, c.sx, c.sy, c.w, c.h);
    }
}

void Sdl(const BlitCase& c, SDL_Surface* picture, SDL_Surface* screen) {
    SDL_Rect src{c.sx, c.sy, c.w, c.h};
    SDL_Rect dest{c.x, c.y, c.w, c.h};  // SDL cuts it at the screen's edges
    SDL_BlitSurface(picture, &src, screen, &dest);
}

// Both screens start as the river, take the case's blit once, and must then
// hold the same picture: otherwise the timings would compare different work.
bool SameResult(const BlitCase& c, SDL_Surface* picture, SDL_Surface* screen) {
    BltStretch(g_back, 0, 0, kScreenWidth, kScreenHeight, g_picBack, 0, 0, kScreenWidth, kScreenHeight);
    SDL_Surface* river = SdlCopy(g_picBack, false, false);
    SDL_BlitSurface(river, nullptr, screen, nullptr);
    SDL_FreeSurface(river);
    Ours(c);
    Sdl(c, picture, screen);
    int width = 0, height = 0;
    const std::vector<uint8_t> ours = PixelsOf(g_back, &width, &height);
    return !ours.empty() && SameScreen(ours.data(), screen);
}

void BM_Memcpy(benchmark::State& state) {
    std::vector<uint8_t> from(size_t{kScreenWidth} * kScreenHeight, 7), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(from.size()));
}

void BM_Ours(benchmark::State& state, const BlitCase& c) {
    if (!StartGame()) return state.SkipWithError("no game");
    Ours(c);  // the first keyed blit of a picture finds its opaque runs
    for (auto _ : state) {
        Ours(c);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * c.w * c.h);
}

void BM_Sdl(benchmark::State& state, const BlitCase& c, bool rle) {
    if (!StartGame()) return state.SkipWithError("no game");
    SDL_Surface* picture = SdlCopy(*c.picture, c.keyed, rle);
    SDL_Surface* screen = SdlScreen();
    if (picture == nullptr || screen == nullptr) return state.SkipWithError(SDL_GetError());
    if (!SameResult(c, picture, screen)) {
        state.SkipWithError("SDL drew a different picture");
    } else {
        for (auto _ : state) {
            Sdl(c, picture, screen);
            benchmark::ClobberMemory();
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * c.w * c.h);
    }
    SDL_FreeSurface(screen);
    SDL_FreeSurface(picture);
}

// The river as the game draws it, in two strips cut at a scroll position.
void BM_OursRiver(benchmark::State& state) {
    if (!StartGame()) return state.SkipWithError("no game");
    const int s = 213, w = kScreenWidth - s;
    for (auto _ : state) {
        BltStretch(g_back, 0, 0, w, kScreenHeight, g_picBack, s, 0, w, kScreenHeight);
        BltStretch(g_back, w, 0, s, kScreenHeight, g_picBack, 0, 0, s, kScreenHeight);
        benchmark::ClobberMemory();
    }
}

void BM_SdlRiver(benchmark::State& state) {
    if (!StartGame()) return state.SkipWithError("no game");
    SDL_Surface* river = SdlCopy(g_picBack, false, false);
    SDL_Surface* screen = SdlScreen();
    const int s = 213, w = kScreenWidth - s;
    for (auto _ : state) {
        SDL_Rect a{s, 0, w, kScreenHeight}, da{0, 0, w, kScreenHeight};
        SDL_Rect b{0, 0, s, kScreenHeight}, db{w, 0, s, kScreenHeight};
        SDL_BlitSurface(river, &a, screen, &da);
        SDL_BlitSurface(river, &b, screen, &db);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(screen);
    SDL_FreeSurface(river);
}

}  // namespace

void RegisterBlitBenchmarks() {
    benchmark::RegisterBenchmark("Blit/Memcpy/640x480", BM_Memcpy);
    for (const BlitCase& c : kCases) {
        const std::string name = c.name;
        benchmark::RegisterBenchmark(("Blit/Ours/" + name).c_str(), BM_Ours, c);
        benchmark::RegisterBenchmark(("Blit/SDL/" + name).c_str(), BM_Sdl, c, false);
        if (c.keyed) benchmark::RegisterBenchmark(("Blit/SDL-RLE/" + name).c_str(), BM_Sdl, c, true);
    }
    benchmark::RegisterBenchmark("Blit/Ours/River", BM_OursRiver);
    benchmark::RegisterBenchmark("Blit/SDL/River", BM_SdlRiver);
}

}  // namespace bench
