// Ctrl+C on the result screen: the link of the run just played (kept in
// memory as it is played, player/record.h) on the system's clipboard, said
// to the player; a run is handed on only this way, by the player's hand.
#pragma once
#include "hosts/core/hear.h"

namespace core {

// Whether `key` is Ctrl+C on the result screen, with a clipboard to copy to:
// then it is the core's (the game does not hear it), and pressed, the run's
// link is copied, or why not said.
bool CopiesRunLink(const RawEvent& key);

}  // namespace core
