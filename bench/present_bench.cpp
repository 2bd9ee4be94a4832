// The conversion of a whole 8-bit frame for presentation, and the present
// itself on SDL's dummy video driver.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/bench_game.h"
#include "bench/convert.h"
#include "display/device.h"
#include "game/frame.h"
#include "hosts/core/fit_scale.h"
#include "hosts/headless/headless.h"

namespace bench {
namespace {

// A real frame to convert: the busy play frame's picture and palette.
const headless::Frame& PlayPicture() {
    SetUpBusyPlay();
    RunFrame();
    return headless::LastFrame();
}

// The same picture on a palette a step of a fade away: each frame a new palette.
void FadeStep(const PALETTEENTRY palette[256], PALETTEENTRY faded[256]) {
    for (int i = 0; i < 256; ++i)
        faded[i] =
            PALETTEENTRY{static_cast<BYTE>(palette[i].peRed * 7 / 8), static_cast<BYTE>(palette[i].peGreen * 7 / 8),
                         static_cast<BYTE>(palette[i].peBlue * 7 / 8), 0};
}

// Ours and SDL's must agree on every pixel, or the timings compare different work.
template <typename Conversion>
void BM_Convert(benchmark::State& state, int scale, bool fading) {
    if (!StartGame()) return state.SkipWithError("no game");
    const headless::Frame& frame = PlayPicture();
    PALETTEENTRY faded[256];
    FadeStep(frame.palette, faded);
    Conversion converter(scale);
    bool odd = false;
    for (auto _ : state) {
        odd = !odd;
        converter.Convert(frame.pixels.data(), fading && odd ? faded : frame.palette);
        benchmark::ClobberMemory();
    }
    Converter ours(scale);
    SdlConverter theirs(scale);
    const PALETTEENTRY* const palettes[] = {faded, frame.palette};
    for (const PALETTEENTRY* palette : palettes) {
        ours.Convert(frame.pixels.data(), palette);
        theirs.Convert(frame.pixels.data(), palette);
        if (std::memcmp(ours.Argb(), theirs.Argb(), size_t{kScreenWidth} * kScreenHeight * scale * scale * 4) != 0)
            state.SkipWithError("our conversion and SDL's differ");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kScreenWidth * kScreenHeight);
}

uint32_t Colour(const PALETTEENTRY& entry) {
    return 0xFF000000u | uint32_t{entry.peRed} << 16 | uint32_t{entry.peGreen} << 8 | entry.peBlue;
}

// Fit to a screen's height (1920x1080's 1440x1080): ours (in the widest
// vectors, or plain), or as the SDL host's window surface does it, whole
// factors by ours into a copy, then SDL's smooth stretch.
void BM_Fit(benchmark::State& state, bool ours, int width, int height, core::FitInstructions set) {
    if (!StartGame()) return state.SkipWithError("no game");
    const headless::Frame& frame = PlayPicture();
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = Colour(frame.palette[i]);
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    const int factor = std::min(width / kScreenWidth, height / kScreenHeight);
    SDL_Surface* sharp =
        SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth * factor, kScreenHeight * factor, 32, SDL_PIXELFORMAT_ARGB8888);
    core::UseFitInstructions(set);
    for (auto _ : state) {
        if (ours) {
            core::ConvertFitted(frame.pixels.data(), colours, width, height, target->pixels, target->pitch);
        } else {
            core::ConvertScaled(frame.pixels.data(), colours, factor, sharp->pixels, sharp->pitch);
            SDL_SoftStretchLinear(sharp, nullptr, target, nullptr);
        }
        benchmark::ClobberMemory();
    }
    core::UseFitInstructions(core::FitInstructions::kWidest);
    SDL_FreeSurface(sharp);
    SDL_FreeSurface(target);
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
    benchmark::RegisterBenchmark("Convert/Ours/640x480", BM_Convert<Converter>, 1, false);
    benchmark::RegisterBenchmark("Convert/SDL/640x480", BM_Convert<SdlConverter>, 1, false);
    benchmark::RegisterBenchmark("Convert/Ours/640x480/Fading", BM_Convert<Converter>, 1, true);
    benchmark::RegisterBenchmark("Convert/SDL/640x480/Fading", BM_Convert<SdlConverter>, 1, true);
    benchmark::RegisterBenchmark("Convert/Ours/1280x960", BM_Convert<Converter>, 2, false);
    benchmark::RegisterBenchmark("Convert/SDL/1280x960", BM_Convert<SdlConverter>, 2, false);
    using core::FitInstructions;
    benchmark::RegisterBenchmark("Convert/Fit/Ours/1440x1080", BM_Fit, true, 1440, 1080, FitInstructions::kWidest);
    benchmark::RegisterBenchmark("Convert/Fit/Plain/1440x1080", BM_Fit, true, 1440, 1080, FitInstructions::kPlain);
    benchmark::RegisterBenchmark("Convert/Fit/SDL/1440x1080", BM_Fit, false, 1440, 1080, FitInstructions::kWidest);
    benchmark::RegisterBenchmark("Convert/Fit/Ours/1024x768", BM_Fit, true, 1024, 768, FitInstructions::kWidest);
    benchmark::RegisterBenchmark("Convert/Fit/SDL/1024x768", BM_Fit, false, 1024, 768, FitInstructions::kWidest);
    benchmark::RegisterBenchmark("Present/SDLDummy/NoConvert", BM_DummyPresent);
}

}  // namespace bench
