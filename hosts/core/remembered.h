// What the player's settings remember from one run to the next, for every
// driver: read before the window opens, under the command line's choices
// for the run, and written when the player changes something (never what
// the command line chose), off the game's thread where the driver has threads.
#pragma once
#include <cstdint>
#include <string>

#include "hosts/core/driver.h"
#include "player/options.h"
#include "player/settings.h"

namespace core {

// Reads the settings at `path` (empty: the defaults, nothing read or ever
// written) and takes the command line's `chosen` over them: the language
// and the text outline are used at once, the keys bound, the window and
// the pause kept for the display.
const player::settings::Settings& LoadSettings(const std::string& path, const player::options::Options& chosen);
// The settings as last read or saved.
const player::settings::Settings& SavedSettings();

// The window the player wants, and whether the clock stops out of focus.
WindowWish WindowWanted();
bool PausesUnfocused();

// The player switched full screen or resized the window: saved at once, or
// once the size has rested half a second (SaveResting with every poll, and
// with `closing` when the window goes).
void RememberFullscreen(bool fullscreen);
void RememberWindowSize(int width, int height, uint32_t nowMs);
void SaveResting(uint32_t nowMs, bool closing);

// A menu's change of setting `name` to `value`, read as the settings file's
// line would be, and saved: false when it is refused or cannot be saved.
// The outline changes at once, the language with the next game.
bool ChooseSetting(const std::string& name, const std::string& value);

}  // namespace core
