// What the program tells its player on standard error, also handed to a
// listener: the host core shows it on screen, where a player may have no
// console to read standard error in.
#pragma once
#include <string>

namespace winapi {

// Writes `line` and a line break on standard error, then hands it to the
// listener, if any. From any thread.
void Tell(const std::string& line);

// The listener of every line told from now on (null: none). Set once, before
// any thread but the game's tells.
void ListenToTold(void (*listener)(const std::string& line));

}  // namespace winapi
