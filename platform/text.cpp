// CP932 text in Debian's shinonome 16-dot bitmap fonts (efont for the NEC and
// IBM rows they lack), rendered once per character and drawn from a cache.
#include "platform/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace {

constexpr const char* kHalfWidthFont = "/usr/share/fonts/X11/misc/shnm8x16r.pcf.gz";  // JIS X 0201
constexpr const char* kFullWidthFont = "/usr/share/fonts/X11/misc/shnmk16.pcf.gz";    // JIS X 0208
constexpr const char* kFallbackFont = "/usr/share/fonts/X11/misc/f16.pcf.gz";         // Unicode

constexpr int kHalfAdvance = 8;
constexpr int kFullAdvance = 16;
constexpr int kMaxGlyphSize = 32;  // the fonts' glyphs are 16x16; larger ones are cut

// A rendered glyph: one 32-bit mask a row, bit 31 the leftmost pixel.
struct Glyph {
    int left;  // from the pen position
    int top;   // from the top of the cell
    int width;
    int rows;
    std::array<uint32_t, kMaxGlyphSize> bits;
};

constexpr int32_t kNotLooked = -2;
constexpr int32_t kMissing = -1;

// The fonts, opened on first use, and every glyph rendered so far, found by
// its CP932 code (a byte, or lead << 8 | trail) without a search.
class Fonts {
public:
    Fonts() : slots_(0x10000, kNotLooked) {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        halfWidth_ = Open(kHalfWidthFont, false);
        fullWidth_ = Open(kFullWidthFont, false);
        fallback_ = Open(kFallbackFont, true);
        toUnicode_ = iconv_open("UTF-32LE", "CP932");
    }
    ~Fonts() {
        if (toUnicode_ != reinterpret_cast<iconv_t>(-1)) iconv_close(toUnicode_);
        if (library_ != nullptr) FT_Done_FreeType(library_);  // closes the faces too
    }
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    const Glyph* Find(int code) {
        int32_t& slot = slots_[static_cast<size_t>(code)];
        if (slot == kNotLooked) slot = Render(code);
        return slot == kMissing ? nullptr : &glyphs_[static_cast<size_t>(slot)];
    }

private:
    // The shinonome faces carry only their own code's charmap (no Unicode
    // one), which is selected as it stands.
    FT_Face Open(const char* path, bool unicode) {
        FT_Face face = nullptr;
        if (FT_New_Face(library_, path, 0, &face) != 0) return nullptr;
        bool mapped = unicode ? FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0
                              : face->num_charmaps > 0 && FT_Set_Charmap(face, face->charmaps[0]) == 0;
        if (!mapped || (face->num_fixed_sizes > 0 && FT_Select_Size(face, 0) != 0)) {
            FT_Done_Face(face);
            return nullptr;
        }
        return face;
    }

    int32_t Render(int code) {
        if (code < 0x100) {
            // Control characters have glyphs in the font but show nothing.
            if (code < 0x20 || code == 0x7F) return kMissing;
            return Store(halfWidth_, static_cast<FT_ULong>(code));
        }
        int32_t slot = kMissing;
        int lead = code >> 8;
        if (lead < 0xF0) slot = Store(fullWidth_, JisCode(lead, code & 0xFF));
        if (slot == kMissing) slot = Store(fallback_, Unicode(code));
        return slot;
    }

    // Shift-JIS to JIS X 0208 row and cell.
    static FT_ULong JisCode(int lead, int trail) {
        int row = ((lead >= 0xE0 ? lead - 0x40 : lead) - 0x81) * 2 + 0x21;
        int cell;
        if (trail >= 0x9F) {
            ++row;
            cell = trail - 0x7E;
        } else {
            cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
        }
        return static_cast<FT_ULong>(row << 8 | cell);
    }

    FT_ULong Unicode(int code) {
        if (toUnicode_ == reinterpret_cast<iconv_t>(-1)) return 0;
        char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        unsigned char out[8] = {};
        char* src = in;
        size_t srcLeft = sizeof in;
        char* dst = reinterpret_cast<char*>(out);
        size_t dstLeft = sizeof out;
        iconv(toUnicode_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(toUnicode_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return 0;
        if (sizeof out - dstLeft != 4) return 0;
        return static_cast<FT_ULong>(out[0] | out[1] << 8 | out[2] << 16 | static_cast<uint32_t>(out[3]) << 24);
    }

    int32_t Store(FT_Face face, FT_ULong charCode) {
        if (face == nullptr || charCode == 0) return kMissing;
        FT_UInt index = FT_Get_Char_Index(face, charCode);
        if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return kMissing;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        Glyph glyph{slot->bitmap_left, kTextAscent - slot->bitmap_top,
                    std::min(static_cast<int>(bitmap.width), kMaxGlyphSize),
                    std::min(static_cast<int>(bitmap.rows), kMaxGlyphSize), {}};
        for (int r = 0; r < glyph.rows; ++r) {
            const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(r) * bitmap.pitch;
            for (int c = 0; c < glyph.width; ++c) {
                bool ink = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[c >> 3] & (0x80 >> (c & 7))) != 0
                                                                   : row[c] >= 0x80;
                if (ink) glyph.bits[static_cast<size_t>(r)] |= 0x80000000u >> c;
            }
        }
        glyphs_.push_back(glyph);
        return static_cast<int32_t>(glyphs_.size() - 1);
    }

    FT_Library library_ = nullptr;
    FT_Face halfWidth_ = nullptr;
    FT_Face fullWidth_ = nullptr;
    FT_Face fallback_ = nullptr;
    iconv_t toUnicode_ = reinterpret_cast<iconv_t>(-1);
    std::vector<int32_t> slots_;
    std::vector<Glyph> glyphs_;
};

Fonts& TheFonts() {
    static Fonts fonts;
    return fonts;
}

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Positions are 64-bit so that no x or y near the ends of int overflows.
void DrawGlyph(const Glyph& glyph, uint8_t* pixels, int width, int height, int pitch, int64_t penX, int64_t cellY,
               uint8_t index) {
    int64_t gx = penX + glyph.left;
    int64_t gy = cellY + glyph.top;
    int64_t r0 = std::max<int64_t>(0, -gy), r1 = std::min<int64_t>(glyph.rows, height - gy);
    int64_t c0 = std::max<int64_t>(0, -gx), c1 = std::min<int64_t>(glyph.width, width - gx);
    if (r0 >= r1 || c0 >= c1) return;
    uint32_t columns = (0xFFFFFFFFu >> c0) & ~(c1 >= 32 ? 0u : 0xFFFFFFFFu >> c1);
    for (int64_t r = r0; r < r1; ++r) {
        uint32_t bits = glyph.bits[static_cast<size_t>(r)] & columns;
        if (bits == 0) continue;
        uint8_t* row = pixels + (gy + r) * pitch + gx;
        while (bits != 0) {
            int c = std::countl_zero(bits);
            row[c] = index;
            bits &= ~(0x80000000u >> c);
        }
    }
}

}  // namespace

int DrawTextCp932(uint8_t* pixels, int width, int height, int pitch, int x, int y, const char* text, int length,
                  uint8_t index) {
    if (text == nullptr || length <= 0) return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    bool visible = pixels != nullptr && width > 0 && height > 0;
    Fonts& fonts = TheFonts();
    int64_t pen = x;
    for (int i = 0; i < length;) {
        int code = bytes[i];
        int advance = kHalfAdvance;
        // A lead byte without a proper trail byte stands alone, as one unknown byte.
        if (IsLeadByte(bytes[i]) && i + 1 < length && IsTrailByte(bytes[i + 1])) {
            code = code << 8 | bytes[i + 1];
            advance = kFullAdvance;
        }
        i += advance == kFullAdvance ? 2 : 1;
        if (visible) {
            if (const Glyph* glyph = fonts.Find(code)) DrawGlyph(*glyph, pixels, width, height, pitch, pen, y, index);
        }
        pen += advance;
    }
    return static_cast<int>(std::min<int64_t>(pen - x, INT32_MAX));
}
