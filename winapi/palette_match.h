// Colours matched to the display's palette, as GDI matches them when it
// copies a bitmap or draws text onto a palettized surface.
#pragma once
#include <cstdint>

#include "winapi/ddraw.h"

namespace winapi {

// The palette attached to the primary surface, which GDI matches colours
// against; the default 3-3-2 palette when there is none.
const PALETTEENTRY* DisplayPalette();
// Index of the first entry nearest to (r, g, b) by squared distance.
uint8_t NearestIndex(const PALETTEENTRY palette[256], uint8_t r, uint8_t g, uint8_t b);

}  // namespace winapi
