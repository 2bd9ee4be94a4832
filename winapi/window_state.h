// What the window manager keeps about the game's windows, seen from inside
// the stand-in: a window's title, and all of it back to program start.
#pragma once
#include "winapi/win.h"

namespace winapi {

// Title of a window made by CreateWindowExA ("" for none).
const char* WindowTitle(HWND window);
// Window, queue and key state back to program start (headless::Reset).
void ResetWindowState();

}  // namespace winapi
