// The headless game the benchmarks draw with: window, display and the 33
// pictures of bmp/, started once and shared, plus SDL copies of the pictures
// for the reference blits.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <vector>

#include "winapi/ddraw.h"

namespace bench {

// Window, DirectDraw and the pictures, as WinMain makes them; false (with the
// reason on standard error) when something is missing. Idempotent.
bool StartGame();
// Everything StartGame made, released in the game's own order.
void StopGame();

// A play frame with everything on screen at once: the fish with four
// mutations, the three special moves, a floating object in flight, the
// thought line and the HUD. The clock stands still, so repeated frames draw
// the same things (only the river moves).
void SetUpBusyPlay();

// A surface's pixels, rows top-down, pitch = width.
std::vector<uint8_t> PixelsOf(IDirectDrawSurface* surface, int* width, int* height);

// An 8-bit SDL surface holding the same pixels as `surface`, on the screen
// palette; keyed with the same index when `keyed` (RLE-accelerated when
// `rle`). Owned by the caller (SDL_FreeSurface).
SDL_Surface* SdlCopy(IDirectDrawSurface* surface, bool keyed, bool rle);
// An empty 640x480 8-bit SDL surface on the screen palette.
SDL_Surface* SdlScreen();
// The screen palette as SDL holds it: one object shared by every copy, so
// that SDL never builds a colour map between source and destination.
SDL_Palette* SdlScreenPalette();

// Whether two 640x480 8-bit pictures are equal; prints the first difference.
bool SameScreen(const uint8_t* ours, const SDL_Surface* theirs);

}  // namespace bench

namespace bench {

// Each file's benchmarks, registered by main once the game has started.
void RegisterBlitBenchmarks();
void RegisterTextBenchmarks();
void RegisterPresentBenchmarks();
void RegisterFrameBenchmarks();
void RegisterWindowPresentBenchmarks();

}  // namespace bench
