// CP932 text in the game's 16-dot font (shinonome, with efont for the NEC
// and IBM rows), read from the baked copy inside the executable on first use.
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "platform/baked.h"

namespace {

constexpr int kHalfAdvance = 8;
constexpr int kFullAdvance = 16;
constexpr int kMaxGlyphSize = 32;

// A glyph ready to draw: one 32-bit mask a row, bit 31 the leftmost pixel.
struct Glyph {
    int left;  // from the pen position
    int top;   // from the top of the cell
    int width;
    int rows;
    std::array<uint32_t, kMaxGlyphSize> bits;
};

// The baked font unpacked, every glyph found by its code without a search.
// Data that does not read as a whole font leaves it empty: text then draws
// nothing rather than anything wrong.
class Fonts {
public:
    Fonts() {
        if (!Unpack(baked::Glyphs())) {
            numbers_.assign(baked::kGlyphSlots, baked::kNoGlyph);
            glyphs_.clear();
        }
    }

    const Glyph* Find(int code) const {
        uint16_t number = numbers_[static_cast<size_t>(baked::GlyphSlot(code))];
        return number == baked::kNoGlyph ? nullptr : &glyphs_[number];
    }

private:
    bool Unpack(std::span<const uint8_t> data) {
        size_t at = 0;
        auto has = [&](size_t n) { return data.size() - at >= n; };
        auto u16 = [&] {
            uint16_t v = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
            at += 2;
            return v;
        };
        if (!has(6) || std::memcmp(data.data(), baked::kGlyphsMagic, 4) != 0) return false;
        at = 4;
        const size_t count = u16();
        if (!has(size_t{2} * baked::kGlyphSlots)) return false;
        numbers_.resize(baked::kGlyphSlots);
        for (uint16_t& number : numbers_) {
            number = u16();
            if (number != baked::kNoGlyph && number >= count) return false;
        }
        glyphs_.resize(count);
        for (Glyph& glyph : glyphs_) {
            if (!has(4)) return false;
            glyph = Glyph{static_cast<int8_t>(data[at]), static_cast<int8_t>(data[at + 1]), data[at + 2],
                          data[at + 3], {}};
            at += 4;
            const size_t rowBytes = (static_cast<size_t>(glyph.width) + 7) / 8;
            if (glyph.width > kMaxGlyphSize || glyph.rows > kMaxGlyphSize ||
                !has(rowBytes * static_cast<size_t>(glyph.rows)))
                return false;
            for (int r = 0; r < glyph.rows; ++r)
                for (size_t b = 0; b < rowBytes; ++b)
                    glyph.bits[static_cast<size_t>(r)] |= static_cast<uint32_t>(data[at++]) << (24 - 8 * b);
        }
        return at == data.size();
    }

    std::vector<uint16_t> numbers_;  // by GlyphSlot
    std::vector<Glyph> glyphs_;
};

const Fonts& TheFonts() {
    static const Fonts fonts;
    return fonts;
}

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
    const Fonts& fonts = TheFonts();
    int64_t pen = x;
    for (int i = 0; i < length;) {
        int code = bytes[i];
        int advance = kHalfAdvance;
        // A lead byte without a proper trail byte stands alone, as one unknown byte.
        if (baked::IsLeadByte(bytes[i]) && i + 1 < length && baked::IsTrailByte(bytes[i + 1])) {
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
