// The 3-3-2 palette: what the display shows until a palette is set on it, and
// the game's start-up palette.
#pragma once
#include "winapi/ddraw.h"

// Red and green in eight levels, blue in four: index bits RRRGGGBB.
inline void FillDefaultPalette(PALETTEENTRY entries[256]) {
    for (int i = 0; i < 256; ++i) {
        entries[i].peRed = static_cast<BYTE>(((i >> 5) & 7) * 511 / 14);
        entries[i].peGreen = static_cast<BYTE>(((i >> 2) & 7) * 511 / 14);
        entries[i].peBlue = static_cast<BYTE>((i & 3) * 255 / 3);
        entries[i].peFlags = 0;
    }
}
