// The desktop's user-dirs.dirs, where it says which folder holds the player's
// pictures (the XDG user-dirs convention), read for that folder.
#pragma once
#include <string>

namespace player {

// The pictures folder a user-dirs.dirs text names, for a player whose home
// folder is `home` (empty when none is known): the last line
// XDG_PICTURES_DIR="$HOME/..." or XDG_PICTURES_DIR="/...", its value quoted
// as the shell quotes it ("$HOME" alone is the home folder); empty when no
// line names one.
std::string PicturesFolderIn(const std::string& text, const std::string& home);

// The pictures folder that $XDG_CONFIG_HOME/user-dirs.dirs (else
// ~/.config/user-dirs.dirs) names: empty in *folder when no file is there or
// it names none. False, with *why, when the file is there but cannot be read.
bool PicturesFolderOfDesktop(const std::string& home, std::string* folder, std::string* why);

}  // namespace player
