// The colours the game writes its texts in (COLORREF: 0x00BBGGRR).
#pragma once
#include "winapi/win.h"

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kYellow = 0x0000FFFF;
constexpr COLORREF kCyan = 0x00FFFF00;
constexpr COLORREF kMagenta = 0x00FF00FF;
