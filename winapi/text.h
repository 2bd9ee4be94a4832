// CP932 text in the game's 16-dot Japanese bitmap font (baked into the
// executable), drawn without anti-aliasing.
#pragma once
#include <cstdint>

constexpr int kTextCellHeight = 16;
constexpr int kTextAscent = 14;

// Draws `length` bytes of CP932 text with the top-left of its first cell at
// (x, y) in palette index `index` onto an 8-bit buffer, clipped to it; the
// pixels between the glyphs are left as they are. Returns the advance in
// pixels. False-free: characters the fonts lack are skipped by their width.
int DrawTextCp932(uint8_t* pixels, int width, int height, int pitch, int x, int y, const char* text, int length,
                  uint8_t index);

namespace winapi {

// Texts drawn by TextOutA get a one-pixel edge in the palette's colour
// nearest to black (--outline), chosen by the host before WinMain.
void UseTextOutline(bool on);

}  // namespace winapi
