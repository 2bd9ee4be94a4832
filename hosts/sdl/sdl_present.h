// Showing the 640x480 picture in the SDL host's window: through SDL's renderer
// where a graphics card draws, else converted straight into the window's own
// pixels, which spares a software renderer's clear and copy of every frame.
// Used by sdl_driver.cpp and the benchmarks; one window at a time.
#pragma once
#include <SDL.h>

#include <cstdint>

#include "player/options.h"
#include "winapi/ddraw.h"

namespace sdl::present {

enum class Path { kAuto, kRenderer, kWindowSurface };

// Prepares `window` for pictures. kAuto takes the renderer only when it is
// accelerated by real hardware (not SDL's software renderer, nor OpenGL
// drawn by the processor, as in virtual machines and Xvfb); false, with
// SDL's error, when nothing can draw in the window.
bool Open(SDL_Window* window, Path path);
void Close();
// kRenderer or kWindowSurface once open.
Path Current();
const char* Describe();

// Asks for presents that wait for the display's blank, or no longer; true
// only when they will really wait (never on the window surface).
bool SetVsync(bool on);

// The window's pixels beyond the picture may be lost (exposed, resized):
// the next picture repaints the black borders and shows the whole window.
void Invalidate();

// Draws the picture through the palette, scaled and letterboxed, not yet shown.
void Draw(const uint8_t* pixels, const PALETTEENTRY palette[256]);
// Shows what Draw drew.
void Show();

// How the picture fills the output from the next Draw on.
void SetScaleMode(player::options::ScaleMode mode);

// Where the picture goes in an output of the given size, always 4:3 and
// centred, the rest black: by whole factors when it fits (kInteger), or as
// large as the output allows (kFit); shrunk when the output is smaller.
SDL_Rect PictureRect(int outputWidth, int outputHeight, player::options::ScaleMode mode);

}  // namespace sdl::present
