// The contents of the committed font/ files, made from the fonts and glibc.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/fontbake/freetype_font.h"

namespace fontbake {

// font/glyphs16.bin: every glyph the game's text can draw, cut to its ink.
std::vector<uint8_t> BakeGlyphs(FreeTypeFont& font);

// font/cp932.bin: glibc iconv's CP932 each way. Empty when iconv has no CP932
// or gives a character beyond 16 bits.
std::vector<uint8_t> BakeCp932();

}  // namespace fontbake
