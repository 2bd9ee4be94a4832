// The system's part of the settings file (settings_file_posix.cpp,
// settings_file_win32.cpp): where it is, and what settings_file.cpp asks of
// its place before writing it. Apart from settings.h, so that a file
// speaking Win32 can define them.
#pragma once
#include <cstdio>
#include <string>

namespace player::settings {

// $XDG_CONFIG_HOME/kawauo/settings, else ~/.config/kawauo/settings; on
// Windows %APPDATA%\kawauo\settings.ini (a name Notepad opens), else in the
// roaming application data known folder. Empty when none is known.
std::string DefaultPath();
// What DefaultPath looks for, for the message when it finds none.
const char* DefaultFolderName();

// Where earlier versions kept the file, when it has moved since (on Windows
// %APPDATA%\kawauo\settings, which had no extension for Explorer to open it
// by); empty where it has not moved.
std::string FormerPath();

// Whether a missing file is written at the start, every setting explained
// (WriteIfMissing), or only by the player's first change.
bool WrittenAtFirstStart();

// The player made the file at `path` read-only: it is never written.
bool ReadOnly(const std::string& path);

// Gives `fresh`, the new text's file, the mode of the file at `path` where
// the system keeps one; false when it cannot.
bool KeepMode(const std::string& path, std::FILE* fresh);

}  // namespace player::settings
