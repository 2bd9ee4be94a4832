// The language of the system's display, which the game speaks where neither
// the command line nor the settings choose one (the system's part:
// display_language_posix.cpp, display_language_win32.cpp).
#pragma once
#include "winapi/texts.h"

namespace player {

// Japanese where the display speaks Japanese, English where it speaks
// another language. On POSIX systems the first of LC_ALL, LC_MESSAGES and
// LANG that is set names it (in the browser, LANG is the page's first
// language); where none names a language (unset, C or POSIX), Japanese, the
// game's own. On Windows, the user's display language.
winapi::texts::Language DisplayLanguage();

}  // namespace player
