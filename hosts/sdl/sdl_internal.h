// What the files of the SDL driver share: SDL's events told to the core,
// the pads, the frame pacing, the message box. Only sdl_*.cpp include it.
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

// Pacing at 60 Hz (sdl_pacing.cpp): vsync where it holds, else an
// absolute deadline. StartPacing again whenever the window's display or
// mode changes; PaceFrame between drawing and showing a frame, NoteShown after.
void StartPacing(SDL_Window* window);
void PaceFrame();
void NoteShown();
// How frames are paced now, for the frame statistics.
const char* DescribePacing();

}  // namespace sdl
