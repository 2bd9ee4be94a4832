// The 640x480 picture of palette indices as the 32-bit pixels a display
// takes, at its own size or enlarged by a whole factor: what a host shows.
#pragma once
#include <cstdint>

#include "winapi/ddraw.h"

namespace core {

// The picture `pixels` through `palette` as opaque ARGB8888 (0xFFRRGGBB)
// into `target`, whose rows are `pitch` bytes apart.
void ConvertToArgb(const uint8_t* pixels, const PALETTEENTRY palette[256], void* target, int pitch);
// The same picture through `colours` (its palette as the target's own pixels),
// each of its pixels a square `scale` pixels wide; `target` is where the
// picture's top-left corner goes. Nothing outside the picture is written.
// One thread at a time: at its own size it keeps a table made from the
// colours of the last call, made again when they change.
void ConvertScaled(const uint8_t* pixels, const uint32_t colours[256], int scale, void* target, int pitch);

}  // namespace core
