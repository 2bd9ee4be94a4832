// Writing 8-bit BMP files: the picture generator's output format, and the
// small pictures tests make for themselves.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "winapi/ddraw.h"

// An 8-bit picture: a 14-byte file header, a 40-byte information header, a
// 256-entry colour table (blue, green, red, 0) and bottom-up rows padded to
// 4 bytes. `indices` holds width*height bytes, rows top-down.
std::vector<uint8_t> EncodeBmp8(int width, int height, const std::vector<uint8_t>& indices,
                                const PALETTEENTRY palette[256]);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Little-endian fields appended to a file being built: the low 16 or 32 bits of `v`.
void Put16(std::vector<uint8_t>& out, uint32_t v);
void Put32(std::vector<uint8_t>& out, uint32_t v);
