// Whole busy play frames shown in a window on SDL's dummy video driver, the
// way the players' host shows them: by SDL's renderer and by the window
// surface, at the picture's own size and letterboxed at twice it.
#include <benchmark/benchmark.h>

#include "bench/bench_game.h"
#include "display/device.h"
#include "game/frame.h"
#include "hosts/headless/headless.h"
#include "hosts/sdl/sdl_present.h"

namespace bench {
namespace {

void BM_PlayFramePresented(benchmark::State& state, sdl::present::Path path, int width, int height) {
    if (!StartGame()) return state.SkipWithError("no game");
    SetUpBusyPlay();
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return state.SkipWithError(SDL_GetError());
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, width, height, 0);
    if (window == nullptr || !sdl::present::Open(window, path)) {
        state.SkipWithError(SDL_GetError());
    } else if (sdl::present::Current() != path) {
        state.SkipWithError("not the way of presenting asked for");
    } else {
        for (auto _ : state) {
            RunFrame();
            sdl::present::Draw(headless::LastFrame().pixels.data(), headless::LastFrame().palette);
            sdl::present::Show();
        }
        if (g_scene != kScenePlay) state.SkipWithError("play ended during the run");
        state.SetLabel(sdl::present::Describe());
    }
    sdl::present::Close();
    if (window != nullptr) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace

void RegisterWindowPresentBenchmarks() {
    struct Case {
        const char* name;
        sdl::present::Path path;
        int width;
        int height;
    };
    const Case cases[] = {
        {"Frame/Play/SDLDummy/Renderer/640x480", sdl::present::Path::kRenderer, 640, 480},
        {"Frame/Play/SDLDummy/WindowSurface/640x480", sdl::present::Path::kWindowSurface, 640, 480},
        {"Frame/Play/SDLDummy/Renderer/1280x1024", sdl::present::Path::kRenderer, 1280, 1024},
        {"Frame/Play/SDLDummy/WindowSurface/1280x1024", sdl::present::Path::kWindowSurface, 1280, 1024},
    };
    for (const Case& c : cases) benchmark::RegisterBenchmark(c.name, BM_PlayFramePresented, c.path, c.width, c.height);
}

}  // namespace bench
