// The player's keyboard and pads as the game's keys, for every driver: keys
// bound by name as the settings say, one map of the pads' roles, the merge
// of every device into one state of each game key, and a tap between two
// frames held down for one frame.
//
// The game takes every waiting event at the start of a frame, then reads
// its keys: a key pressed and let go since the last frame would come and go
// in one taking, unseen. Its release waits for the next taking instead.
#pragma once
#include <cstdint>
#include <string>

#include "player/settings.h"

namespace core {

// The keyboard's keys for each game key, by the names the settings file
// gives (compared without regard to case); until told, the defaults.
void BindKeys(const player::settings::Settings& settings);

// A keyboard key by name, a control standing for a game key, a pad's
// controls now, a pad unplugged. A key's repeat is no new press; two keys
// bound to one game key hold it until both are up.
void KeyChanged(const std::string& name, bool down);
void GameKeyChanged(int virtualKey, bool down);
void PadChanged(int pad, uint32_t roles, int stickX, int stickY);
void PadGone(int pad);

// The focus went elsewhere: every key and pad lets go at once, since their
// releases would go to another window.
void ReleaseAllKeys();

// The game has taken every event waiting (its next poll finds none): the
// releases held back from this taking are told now, for the next.
void EndKeyTaking();

// Every key up, no pad, nothing held back, the default keys (tests).
void ForgetKeys();

}  // namespace core
