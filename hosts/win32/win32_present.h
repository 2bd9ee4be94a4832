// The Win32 driver's picture in its window (win32_present.cpp), for the
// window's own file: the last picture kept, drawn on a frame or a paint.
#pragma once
#include <windows.h>

#include <cstdint>

#include "player/options.h"

namespace win32::present {

// How the picture fills the window: fit or whole factors only.
void UseScaleMode(player::options::ScaleMode mode);
// Keeps the 640x480 palette indices and their colours (`rgbx`: red, green,
// blue, unused for each of the 256 entries) for the next Draw.
void Keep(const uint8_t* pixels, const uint8_t* rgbx);
// The black around the picture is to be painted again (a paint, a new size,
// a mode or display change), at every frame for a second; Draw also starts
// that whenever the client or the picture's place differs from the last.
void BarsStale();
// Draws the kept picture into `window`'s client through `dc`, letterboxed.
void Draw(HWND window, HDC dc);
// Lets go of what Draw made.
void Free();

}  // namespace win32::present
