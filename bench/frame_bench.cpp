// Whole frames: a busy play frame on the headless host, with and without the
// conversion for presentation; the same blits replayed through SDL as the
// reference; and the start-up from nothing to the first frame.
#include <benchmark/benchmark.h>

#include <map>
#include <vector>

#include "bench/bench_game.h"
#include "bench/convert.h"
#include "display/device.h"
#include "game/frame.h"
#include "hosts/headless/headless.h"

namespace bench {
namespace {

template <typename Conversion>
void BM_PlayFrame(benchmark::State& state, bool convert) {
    if (!StartGame()) return state.SkipWithError("no game");
    SetUpBusyPlay();
    Conversion converter;
    const int shownBefore = headless::FramesShown();
    for (auto _ : state) {
        RunFrame();
        if (convert) converter.Convert(headless::LastFrame().pixels.data(), headless::LastFrame().palette);
        benchmark::ClobberMemory();
    }
    if (g_scene != kScenePlay) state.SkipWithError("play ended during the run");
    if (headless::FramesShown() - shownBefore != static_cast<int>(state.iterations()))
        state.SkipWithError("not every frame was shown");
}

// One busy play frame's blits as SDL_BlitSurface calls on 8-bit surfaces
// with the same pictures and palette (the texts left out: SDL draws none),
// then SDL's conversion of the screen.
void BM_SdlReplay(benchmark::State& state) {
    if (!StartGame()) return state.SkipWithError("no game");
    SetUpBusyPlay();
    winapi::RecordDraws(true);
    winapi::TakeDraws();
    RunFrame();
    const std::vector<winapi::DrawNote> notes = winapi::TakeDraws();
    winapi::RecordDraws(false);

    struct Replay {
        SDL_Surface* picture;
        SDL_Rect src;
        SDL_Rect dest;
    };
    std::map<std::pair<const IDirectDrawSurface*, bool>, SDL_Surface*> copies;
    std::vector<Replay> blits;
    for (const winapi::DrawNote& note : notes) {
        if (note.kind != winapi::DrawNote::kBlt) continue;
        const winapi::BltNote& b = note.blt;
        SDL_Surface*& copy = copies[{b.src, b.keyed}];
        if (copy == nullptr) copy = SdlCopy(const_cast<IDirectDrawSurface*>(b.src), b.keyed, b.keyed);
        blits.push_back(Replay{
            copy,
            {b.srcRect.left, b.srcRect.top, b.srcRect.right - b.srcRect.left, b.srcRect.bottom - b.srcRect.top},
            {b.destRect.left, b.destRect.top, b.destRect.right - b.destRect.left, b.destRect.bottom - b.destRect.top}});
    }
    SDL_Surface* screen = SdlScreen();
    SdlConverter converter;
    for (auto _ : state) {
        for (const Replay& r : blits) {
            SDL_Rect src = r.src, dest = r.dest;
            SDL_BlitSurface(r.picture, &src, screen, &dest);
        }
        converter.Convert(static_cast<const uint8_t*>(screen->pixels), g_palette);
        benchmark::ClobberMemory();
    }
    state.counters["blits"] = static_cast<double>(blits.size());
    SDL_FreeSurface(screen);
    for (auto& [key, copy] : copies) SDL_FreeSurface(copy);
}

// Window, display, the 33 pictures and the first frame, then the teardown
// (timed apart). The font is already open: main times its first use.
void BM_Startup(benchmark::State& state) {
    StopGame();
    for (auto _ : state) {
        if (!StartGame()) return state.SkipWithError("no game");
        RunFrame();
        state.PauseTiming();
        StopGame();
        state.ResumeTiming();
    }
}

}  // namespace

void RegisterFrameBenchmarks() {
    benchmark::RegisterBenchmark("Frame/Play/Headless", BM_PlayFrame<Converter>, false);
    benchmark::RegisterBenchmark("Frame/Play/Headless+Convert", BM_PlayFrame<Converter>, true);
    benchmark::RegisterBenchmark("Frame/Play/Headless+SDLConvert", BM_PlayFrame<SdlConverter>, true);
    benchmark::RegisterBenchmark("Frame/SDLReplay+SDLConvert", BM_SdlReplay);
    benchmark::RegisterBenchmark("Startup/ToFirstFrame", BM_Startup)->Unit(benchmark::kMillisecond);
}

}  // namespace bench
