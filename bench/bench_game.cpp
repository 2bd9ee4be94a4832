// The headless game the benchmarks share, and SDL copies of its pictures.
#include "bench/bench_game.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "display/device.h"
#include "display/registry.h"
#include "game/assets.h"
#include "game/drift.h"
#include "game/fish.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/play.h"
#include "hosts/headless/headless.h"
#include "winapi/win.h"

namespace bench {
namespace {

constexpr uint32_t kStartMs = 100000;
bool running = false;

}  // namespace

bool StartGame() {
    if (running) return true;
    if (chdir(KAWAUO_SOURCE_DIR) != 0) {
        std::perror("kawauo-bench: cannot enter the source folder for bmp/");
        return false;
    }
    headless::Reset();
    headless::SetMilliseconds(kStartMs);
    headless::SetCalendarSeconds(1);
    if (CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWDEFAULT) == 0 || InitDirectDraw() == 0) {
        std::fprintf(stderr, "kawauo-bench: no window or display\n");
        return false;
    }
    LoadAssets();
    if (g_fatalLoadError != 0 || !headless::MessageBoxes().empty()) {
        std::fprintf(stderr, "kawauo-bench: the pictures did not load\n");
        return false;
    }
    running = true;
    return true;
}

void StopGame() {
    if (g_fatalLoadError != 1) ReleaseAssets();
    ReleaseDirectDraw();
    // A process loads its pictures once; a new start needs an empty registry.
    g_fatalLoadError = 0;
    g_surfaceCount = 0;
    for (IDirectDrawSurface*& surface : g_surfaces) surface = nullptr;
    std::memset(g_surfaceNames, 0, sizeof g_surfaceNames);
    headless::Reset();
    running = false;
}

void SetUpBusyPlay() {
    headless::SetMilliseconds(kStartMs);
    g_frameTick = static_cast<int32_t>(kStartMs);
    SceneNewGame();
    g_scene = kScenePlay;
    g_fish.x = 200;
    g_fish.y = 250;
    for (int i : {0, 3, 6, 8}) g_mutation[i] = 1;
    g_fish.mutationCount = 4;
    for (int i = 0; i < kMoveCount; ++i) g_specialMoves[i] = SpecialMove{0, 1, i, static_cast<int32_t>(kStartMs)};
    g_drift[2] = DriftObject{-120, static_cast<int32_t>(kStartMs), 100, 420, 10, 60, 113};
    g_objectActive[2] = 1;
    g_objectInFlight = 1;
}

std::vector<uint8_t> PixelsOf(IDirectDrawSurface* surface, int* width, int* height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return {};
    *width = static_cast<int>(desc.dwWidth);
    *height = static_cast<int>(desc.dwHeight);
    std::vector<uint8_t> pixels(static_cast<size_t>(*width) * *height);
    for (int y = 0; y < *height; ++y) {
        std::memcpy(pixels.data() + static_cast<size_t>(y) * *width,
                    static_cast<const uint8_t*>(desc.lpSurface) + static_cast<ptrdiff_t>(y) * desc.lPitch,
                    static_cast<size_t>(*width));
    }
    surface->Unlock(nullptr);
    return pixels;
}

SDL_Palette* SdlScreenPalette() {
    static SDL_Palette* palette = nullptr;
    if (palette == nullptr) palette = SDL_AllocPalette(256);
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = SDL_Color{g_palette[i].peRed, g_palette[i].peGreen, g_palette[i].peBlue, 255};
    SDL_SetPaletteColors(palette, colours, 0, 256);
    return palette;
}

SDL_Surface* SdlScreen() {
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 8, SDL_PIXELFORMAT_INDEX8);
    if (screen != nullptr) SDL_SetSurfacePalette(screen, SdlScreenPalette());
    return screen;
}

SDL_Surface* SdlCopy(IDirectDrawSurface* surface, bool keyed, bool rle) {
    int width = 0, height = 0;
    const std::vector<uint8_t> pixels = PixelsOf(surface, &width, &height);
    if (pixels.empty()) return nullptr;
    SDL_Surface* copy = SDL_CreateRGBSurfaceWithFormat(0, width, height, 8, SDL_PIXELFORMAT_INDEX8);
    if (copy == nullptr) return nullptr;
    SDL_SetSurfacePalette(copy, SdlScreenPalette());
    for (int y = 0; y < height; ++y) {
        std::memcpy(static_cast<uint8_t*>(copy->pixels) + static_cast<ptrdiff_t>(y) * copy->pitch,
                    pixels.data() + static_cast<size_t>(y) * width, static_cast<size_t>(width));
    }
    // Our pictures are keyed by their top-left pixel.
    if (keyed) SDL_SetColorKey(copy, SDL_TRUE, pixels[0]);
    if (rle) SDL_SetSurfaceRLE(copy, 1);
    return copy;
}

bool SameScreen(const uint8_t* ours, const SDL_Surface* theirs) {
    for (int y = 0; y < kScreenHeight; ++y) {
        const uint8_t* a = ours + static_cast<size_t>(y) * kScreenWidth;
        const uint8_t* b = static_cast<const uint8_t*>(theirs->pixels) + static_cast<ptrdiff_t>(y) * theirs->pitch;
        for (int x = 0; x < kScreenWidth; ++x) {
            if (a[x] != b[x]) {
                std::fprintf(stderr, "kawauo-bench: pictures differ at (%d, %d): ours %d, SDL's %d\n", x, y, a[x],
                             b[x]);
                return false;
            }
        }
    }
    return true;
}

}  // namespace bench
