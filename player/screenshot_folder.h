// The system's part of the screenshots (screenshot_posix.cpp,
// screenshot_win32.cpp): where they go and the time they are named by. Apart
// from screenshot.h, so that a file speaking Win32 can define them.
#pragma once
#include <ctime>
#include <string>

namespace player::screenshot {

// kawauo/ in the player's pictures folder: on POSIX $XDG_PICTURES_DIR, else the one the
// desktop's user-dirs.dirs names, else ~/Pictures; on Windows the Pictures
// known folder. False, with *why, when none is known; true with a note in
// *why when user-dirs.dirs cannot be read and ~/Pictures is taken instead.
bool Folder(std::string* folder, std::string* why);

// `when` in the local time zone, as the system gives it.
std::tm LocalTime(std::time_t when);

}  // namespace player::screenshot
