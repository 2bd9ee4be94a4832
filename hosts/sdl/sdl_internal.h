// What the files of the SDL host share: the event queue, the keyboard and
// pads, the frame pacing and its statistics, the message box. Only
// sdl_*.cpp include it.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <string>

#include "player/settings.h"
#include "winapi/ddraw.h"
#include "winapi/host.h"

namespace sdl {

// The queue of events for the game (sdl_host.cpp); Translate turns any SDL
// event into the game's events, or acts on it itself.
void PushEvent(winapi::host::Event event);
void Translate(const SDL_Event& e);

// How long a wait for events may run before it looks for a stop signal.
constexpr uint32_t kStopLookMs = 50;

// The game's message box (sdl_box.cpp): the caption and text (UTF-8)
// in a window over `owner` (may be null) until the player answers it or a
// stop signal comes. Events for other windows go to Translate meanwhile.
void ShowBox(SDL_Window* owner, const char* caption, const char* text);

// Keyboard and gamepads (sdl_input.cpp). TranslateInput turns one SDL
// key or pad event into the game's keys; false for events of other kinds.
bool TranslateInput(const SDL_Event& e);
// The keyboard's keys for each game key, by SDL's key names (as the
// settings name them); until told, the defaults.
void UseKeys(const player::settings::Settings& settings);
// On losing the focus no key may stay down: the releases would go elsewhere.
void ReleaseAllKeys();
void ClosePads();

// The settings file (sdl_settings.cpp): as last read or written, and
// what the player changes. A new window size is saved once it has rested
// half a second (SaveResting with every frame), or when the window closes.
bool KeyNameKnown(const std::string& name);
const player::settings::Settings& SavedSettings();
void RememberFullscreen(bool fullscreen);
void RememberWindowSize(int width, int height);
void SaveResting(bool closing);

// Pacing at 60 Hz (sdl_pacing.cpp): vsync where it holds, else an
// absolute deadline. StartPacing again whenever the window's display or
// mode changes; PaceFrame between drawing and showing a frame, NoteShown after.
void StartPacing(SDL_Window* window);
void PaceFrame();
void NoteShown();
// How frames are paced now, for the frame statistics.
const char* DescribePacing();

}  // namespace sdl
