// The game's text glyphs as FreeType draws them from Debian's shinonome
// 16-dot fonts, with efont for the rows they lack: the source of the baked font.
#pragma once
#include <memory>

#include "winapi/baked.h"

namespace fontbake {

using winapi::baked::Glyph;
using winapi::baked::kMaxGlyphSize;

// The three fonts at their fixed Debian paths, opened on construction.
class FreeTypeFont {
public:
    FreeTypeFont();
    ~FreeTypeFont();
    FreeTypeFont(const FreeTypeFont&) = delete;
    FreeTypeFont& operator=(const FreeTypeFont&) = delete;

    // True when all three fonts and the converter opened.
    bool Complete() const;

    // The glyph the game draws for a CP932 code (a byte, or lead << 8 | trail),
    // false when it draws nothing there.
    bool Render(int code, Glyph* glyph);

private:
    struct Faces;
    std::unique_ptr<Faces> faces_;
};

// The Unicode of a double-byte CP932 code as glibc's iconv gives it, 0 when
// it has none.
uint32_t Cp932Unicode(int code);

}  // namespace fontbake
