// 8-bit palette PNG files: the sim's shots and the player's screenshots.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "winapi/ddraw.h"

namespace player {

// `pixels` (width x height palette indices, rows top-down) through `palette`
// as the bytes of a PNG file. On failure, `why` says what went wrong.
bool EncodePalettePng(const uint8_t* pixels, int width, int height, const PALETTEENTRY palette[256],
                      std::vector<uint8_t>* png, std::string* why);

// Writes that PNG to `path` as a remade output file (player/output_file.h):
// whole or not at all, over a regular file only. On failure, `why` says what
// went wrong.
bool WritePalettePng(const std::string& path, const uint8_t* pixels, int width, int height,
                     const PALETTEENTRY palette[256], std::string* why);

}  // namespace player
