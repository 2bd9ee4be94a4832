// The conversion of a whole 8-bit frame for presentation, and the present
// itself on SDL's dummy video driver.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/bench_game.h"
#include "bench/convert.h"
#include "display/device.h"
#include "game/frame.h"
#include "hosts/headless/headless.h"

namespace bench {
namespace {

// A real frame to convert: the busy play frame's picture and palette.
const headless::Frame& PlayPicture() {
    SetUpBusyPlay();
    RunFrame();
    return headless::LastFrame();
}

// Ours and SDL's must agree on every pixel, or the timings compare different work.
template <typename Conversion>
void BM_Convert(benchmark::State& state) {
    if (!StartGame()) return state.SkipWithError("no game");
    const headless::Frame& frame = PlayPicture();
    Conversion converter;
    for (auto _ : state) {
        converter.Convert(frame.pixels.data(), frame.palette);
        benchmark::ClobberMemory();
    }
    Converter ours;
    SdlConverter theirs;
    ours.Convert(frame.pixels.data(), frame.palette);
    theirs.Convert(frame.pixels.data(), frame.palette);
    if (std::memcmp(ours.Argb(), theirs.Argb(), size_t{kScreenWidth} * kScreenHeight * 4) != 0)
        state.SkipWithError("our conversion and SDL's differ");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kScreenWidth * kScreenHeight);
}

// What a present costs on SDL's dummy driver beyond the conversion: the
// texture's lock, the copy to the window and the present, unpaced.
void BM_DummyPresent(benchmark::State& state) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return state.SkipWithError(SDL_GetError());
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, kScreenWidth, kScreenHeight, 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                                        kScreenWidth, kScreenHeight)
                                    : nullptr;
    if (texture == nullptr) {
        state.SkipWithError(SDL_GetError());
    } else {
        const SDL_Rect whole{0, 0, kScreenWidth, kScreenHeight};
        for (auto _ : state) {
            void* pixels;
            int pitch;
            if (SDL_LockTexture(texture, nullptr, &pixels, &pitch) == 0) SDL_UnlockTexture(texture);
            SDL_RenderClear(renderer);
            SDL_RenderCopy(renderer, texture, nullptr, &whole);
            SDL_RenderPresent(renderer);
        }
    }
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace

void RegisterPresentBenchmarks() {
    benchmark::RegisterBenchmark("Convert/Ours/640x480", BM_Convert<Converter>);
    benchmark::RegisterBenchmark("Convert/SDL/640x480", BM_Convert<SdlConverter>);
    benchmark::RegisterBenchmark("Present/SDLDummy/NoConvert", BM_DummyPresent);
}

}  // namespace bench
