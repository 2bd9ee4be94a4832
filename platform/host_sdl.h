// What the players' entry tells the SDL host before the game starts.
#pragma once
#include "platform/options.h"

namespace sdlhost {

// The command line's choices, over the settings file's, for this run.
void UseOptions(const options::Options& chosen);

}  // namespace sdlhost
