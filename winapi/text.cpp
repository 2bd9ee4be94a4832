// CP932 text in the game's 16-dot font (shinonome, with efont for the NEC
// and IBM rows), baked (winapi/baked.h) and asked of the host at the first text.
#include "winapi/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "winapi/baked.h"
#include "winapi/host.h"

namespace {

constexpr int kHalfAdvance = 8;
constexpr int kFullAdvance = 16;
using winapi::baked::Glyph;
using winapi::baked::kMaxGlyphSize;

constexpr int32_t kNotLooked = -2;
constexpr int32_t kMissing = -1;

// The baked font, checked whole at the first text and each glyph unpacked
// when first drawn, then found by its CP932 code (a byte, or lead << 8 | trail) without
// a search: the few glyphs a frame draws stay close together in memory. Data
// that does not read as a whole font draws nothing rather than anything wrong.
class Fonts {
public:
    Fonts() : data_(winapi::host::Font().glyphs), slots_(0x10000, kNotLooked) {
        if (!Index()) offsets_.clear();
    }

    const Glyph* Find(int code) {
        int32_t& slot = slots_[static_cast<size_t>(code)];
        if (slot == kNotLooked) slot = Unpack(code);
        return slot == kMissing ? nullptr : &glyphs_[static_cast<size_t>(slot)];
    }

private:
    uint16_t U16(size_t at) const { return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8); }

    // Finds where each glyph starts, checking every glyph number and size.
    bool Index() {
        constexpr size_t kNumbers = 6, kRecords = kNumbers + 2 * size_t{winapi::baked::kGlyphSlots};
        if (data_.size() < kRecords || std::memcmp(data_.data(), winapi::baked::kGlyphsMagic, 4) != 0) return false;
        const size_t count = U16(4);
        for (size_t slot = 0; slot < winapi::baked::kGlyphSlots; ++slot) {
            uint16_t number = U16(kNumbers + 2 * slot);
            if (number != winapi::baked::kNoGlyph && number >= count) return false;
        }
        size_t at = kRecords;
        for (size_t n = 0; n < count; ++n) {
            if (data_.size() - at < 4 || data_[at + 2] > kMaxGlyphSize || data_[at + 3] > kMaxGlyphSize) return false;
            offsets_.push_back(at);
            at += 4 + (data_[at + 2] + 7u) / 8 * data_[at + 3];
            if (at > data_.size()) return false;
        }
        return at == data_.size();
    }

    int32_t Unpack(int code) {
        if (offsets_.empty()) return kMissing;
        uint16_t number = U16(6 + 2 * static_cast<size_t>(winapi::baked::GlyphSlot(code)));
        if (number == winapi::baked::kNoGlyph) return kMissing;
        size_t at = offsets_[number];
        Glyph glyph{
            static_cast<int8_t>(data_[at]), static_cast<int8_t>(data_[at + 1]), data_[at + 2], data_[at + 3], {}};
        at += 4;
        for (int r = 0; r < glyph.rows; ++r)
            for (int b = 0; b < (glyph.width + 7) / 8; ++b)
                glyph.bits[static_cast<size_t>(r)] |= static_cast<uint32_t>(data_[at++]) << (24 - 8 * b);
        glyphs_.push_back(glyph);
        return static_cast<int32_t>(glyphs_.size() - 1);
    }

    std::span<const uint8_t> data_;
    std::vector<size_t> offsets_;  // by glyph number
    std::vector<int32_t> slots_;   // by code: index in glyphs_, kMissing or kNotLooked
    std::vector<Glyph> glyphs_;
};

Fonts& TheFonts() {
    static Fonts fonts;
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
    Fonts& fonts = TheFonts();
    int64_t pen = x;
    for (int i = 0; i < length;) {
        int code = bytes[i];
        int advance = kHalfAdvance;
        // A lead byte without a proper trail byte stands alone, as one unknown byte.
        if (winapi::baked::IsLeadByte(bytes[i]) && i + 1 < length && winapi::baked::IsTrailByte(bytes[i + 1])) {
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
