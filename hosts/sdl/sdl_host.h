// What the players' entry tells the SDL host before the game starts.
#pragma once
#include <string>

#include "player/options.h"
#include "player/settings.h"

namespace sdl {

// The command line's choices, over the settings file's, for this run.
void UseOptions(const player::options::Options& chosen);

// Reads the player's settings file (player::settings::DefaultPath()) before the
// window opens: its choices hold where the command line says nothing (the
// entry applies the language and the outline from what it returns), its
// keys are the keyboard's, and it is written when the player changes
// something. An empty path (or a host never told this): the defaults, and
// no file read or written.
const player::settings::Settings& LoadSettings(const std::string& path);

}  // namespace sdl
