// The game's 16-dot font and its CP932 tables: baked once from the font
// packages and glibc by tools/fontbake, committed under font/, and handed to
// the Windows room by the seam (host::Font), so text needs no font file or
// converter of the system at run time.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "winapi/host.h"

namespace winapi::baked {

// The tables built into the program (the library kawauo_baked_font, made of
// font/ by cmake/embed_bytes.cmake): what every driver but the browser's,
// which fetches them beside the program, answers host::Font() with. The
// Windows room itself never reads them, so that a program without the
// library carries no font.
host::FontTables BuiltIn();

// font/glyphs16.bin, numbers little-endian:
//   "KWG1", u16 glyph count;
//   u16 glyph number, or kNoGlyph for a code that draws nothing, for each of
//     the kGlyphSlots codes DrawTextCp932 draws, in GlyphSlot order;
//   the glyphs one after another, each int8 left (from the pen), int8 top
//     (from the top of the cell), u8 width, u8 rows, then `rows` rows of
//     (width + 7) / 8 bytes, the leftmost pixel in the high bit.
std::span<const uint8_t> Glyphs();  // the built-in copy

// font/cp932.bin, numbers little-endian:
//   "KWC1";
//   u16 Unicode of each single byte, or kNoCharacter, or kLeadByte for the
//     first byte of a pair (nothing when it ends the text);
//   256 u16 Unicode (or kNoCharacter) of each lead byte's pairs, lead bytes
//     in order, by trail byte;
//   u16 count, then that many pairs of u16 Unicode and u16 CP932 code (a
//     byte, or lead << 8 | trail), in Unicode order: the code page's choice
//     for each character it has.
std::span<const uint8_t> Cp932();  // the built-in copy

// A glyph as the font holds it once read: one 32-bit mask a row, bit 31 the
// leftmost pixel. The fonts' glyphs are 16x16; larger ones are cut.
constexpr int kMaxGlyphSize = 32;
struct Glyph {
    int left;  // from the pen position
    int top;   // from the top of the cell
    int width;
    int rows;
    std::array<uint32_t, kMaxGlyphSize> bits;
};

constexpr char kGlyphsMagic[] = "KWG1";
constexpr char kCp932Magic[] = "KWC1";
constexpr uint16_t kNoGlyph = 0xFFFF;
constexpr uint16_t kNoCharacter = 0xFFFF;
constexpr uint16_t kLeadByte = 0xFFFE;

// The codes text drawing knows: single bytes, and a lead byte followed by a
// trail byte as one double-byte character.
constexpr bool IsLeadByte(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsTrailByte(unsigned b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

constexpr int kTrailBytes = 0xFC - 0x40;  // 0x40-0xFC without 0x7F
constexpr int kGlyphSlots = 256 + 60 * kTrailBytes;

// Where a code (a byte, or lead << 8 | trail of a valid pair) sits in the
// glyph index.
constexpr int GlyphSlot(int code) {
    if (code < 0x100) return code;
    int lead = code >> 8, trail = code & 0xFF;
    int row = lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 0x1F;
    return 256 + row * kTrailBytes + trail - 0x40 - (trail > 0x7F ? 1 : 0);
}

}  // namespace winapi::baked
