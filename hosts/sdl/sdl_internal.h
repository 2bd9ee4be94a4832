// What the files of the SDL driver share: SDL's events told to the core,
// the pads, the message box. Only sdl_*.cpp include it.
#pragma once
#include <SDL.h>

#include <cstdint>

namespace sdl {

// Tells the core what any SDL event means for the game (sdl_driver.cpp);
// TranslateInput does it for the keyboard's and the pads' (sdl_input.cpp).
void Translate(const SDL_Event& e);
void TranslateInput(const SDL_Event& e);
void ClosePads();

// The game's message box (sdl_box.cpp): the caption and text (UTF-8)
// in a window over `owner` (may be null) until the player answers it or a
// stop signal comes. Events for other windows go to Translate meanwhile.
void ShowBox(SDL_Window* owner, const char* caption, const char* text);

}  // namespace sdl
