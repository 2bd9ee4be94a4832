// Baking: glyphs cut to their ink and shared between codes that draw alike,
// and the code page read off iconv one code and one character at a time.
#include "tools/fontbake/bake.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <map>
#include <string>

#include "winapi/baked.h"

namespace fontbake {
namespace {

void Put16(std::vector<uint8_t>* out, unsigned value) {
    out->push_back(static_cast<uint8_t>(value & 0xFF));
    out->push_back(static_cast<uint8_t>(value >> 8 & 0xFF));
}

// A file starting with its four-letter mark.
std::vector<uint8_t> Start(const char* magic) { return std::vector<uint8_t>(magic, magic + 4); }

// A glyph's record in the file, cut to the rows and columns that hold ink;
// empty when it has none.
std::vector<uint8_t> Record(const Glyph& glyph) {
    int top = glyph.rows, bottom = -1, left = 32, right = -1;
    for (int r = 0; r < glyph.rows; ++r) {
        uint32_t bits = glyph.bits[static_cast<size_t>(r)];
        if (bits == 0) continue;
        top = std::min(top, r);
        bottom = r;
        left = std::min(left, std::countl_zero(bits));
        right = std::max(right, 31 - std::countr_zero(bits));
    }
    if (bottom < 0) return {};
    const int width = right - left + 1, rows = bottom - top + 1;
    std::vector<uint8_t> record = {static_cast<uint8_t>(static_cast<int8_t>(glyph.left + left)),
                                   static_cast<uint8_t>(static_cast<int8_t>(glyph.top + top)),
                                   static_cast<uint8_t>(width), static_cast<uint8_t>(rows)};
    for (int r = top; r <= bottom; ++r) {
        uint32_t bits = glyph.bits[static_cast<size_t>(r)] << left;
        for (int b = 0; b < (width + 7) / 8; ++b) record.push_back(static_cast<uint8_t>(bits >> (24 - 8 * b)));
    }
    return record;
}

// Every code DrawTextCp932 can meet, in GlyphSlot order.
std::vector<int> Codes() {
    std::vector<int> codes;
    for (int b = 0; b < 256; ++b) codes.push_back(b);
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!winapi::baked::IsLeadByte(static_cast<unsigned>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail)
            if (winapi::baked::IsTrailByte(static_cast<unsigned>(trail))) codes.push_back(lead << 8 | trail);
    }
    return codes;
}

struct Converted {
    int error;  // 0, EILSEQ or EINVAL
    std::string out;
};

Converted Convert(iconv_t cd, const std::string& in) {
    std::string out(16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    bool failed = iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1);
    out.resize(out.size() - dstLeft);
    return {failed ? errno : 0, out};
}

// The one UTF-32LE character in `out`, or kNoCharacter.
unsigned OneCharacter(const Converted& c) {
    if (c.error != 0 || c.out.size() != 4) return winapi::baked::kNoCharacter;
    const auto* b = reinterpret_cast<const unsigned char*>(c.out.data());
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<unsigned>(b[3]) << 24;
}

std::string Utf32(uint32_t c) {
    char b[4] = {static_cast<char>(c), static_cast<char>(c >> 8), static_cast<char>(c >> 16),
                 static_cast<char>(c >> 24)};
    return std::string(b, 4);
}

}  // namespace

std::vector<uint8_t> BakeGlyphs(FreeTypeFont& font) {
    std::vector<uint8_t> out = Start(winapi::baked::kGlyphsMagic);
    std::vector<uint16_t> numbers;
    std::vector<uint8_t> records;
    std::map<std::vector<uint8_t>, uint16_t> known;
    for (int code : Codes()) {
        Glyph glyph;
        std::vector<uint8_t> record = font.Render(code, &glyph) ? Record(glyph) : std::vector<uint8_t>{};
        if (record.empty()) {
            numbers.push_back(winapi::baked::kNoGlyph);
            continue;
        }
        auto [it, added] = known.emplace(record, static_cast<uint16_t>(known.size()));
        if (added) records.insert(records.end(), record.begin(), record.end());
        numbers.push_back(it->second);
    }
    Put16(&out, static_cast<unsigned>(known.size()));
    for (uint16_t n : numbers) Put16(&out, n);
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

std::vector<uint8_t> BakeCp932() {
    iconv_t decode = iconv_open("UTF-32LE", "CP932");
    iconv_t encode = iconv_open("CP932", "UTF-32LE");
    std::vector<uint8_t> out;
    bool fits = decode != reinterpret_cast<iconv_t>(-1) && encode != reinterpret_cast<iconv_t>(-1);
    // Characters are stored in 16 bits, beside the two marks above them.
    auto put = [&](unsigned u, bool character) {
        if (character && u != winapi::baked::kNoCharacter && u >= winapi::baked::kLeadByte) fits = false;
        Put16(&out, u);
    };
    if (fits) {
        out = Start(winapi::baked::kCp932Magic);
        std::vector<int> leads;
        for (int b = 0; b < 256; ++b) {
            Converted c = Convert(decode, std::string(1, static_cast<char>(b)));
            if (c.error == EINVAL) leads.push_back(b);
            c.error == EINVAL ? put(winapi::baked::kLeadByte, false) : put(OneCharacter(c), true);
        }
        for (int lead : leads)
            for (int trail = 0; trail < 256; ++trail)
                put(OneCharacter(Convert(decode, {static_cast<char>(lead), static_cast<char>(trail)})), true);
        std::vector<std::pair<uint32_t, unsigned>> chosen;
        for (uint32_t u = 0; u <= 0x10FFFF; ++u) {
            if (u >= 0xD800 && u < 0xE000) continue;
            Converted c = Convert(encode, Utf32(u));
            // Nothing is what glibc makes of the language tags; anything
            // else the table cannot hold must not be left out unseen.
            if (c.error != 0 || (c.out.empty() && u >> 7 == 0xE0000 >> 7)) continue;
            if (c.out.empty() || c.out.size() > 2) {
                fits = false;
                continue;
            }
            const auto* b = reinterpret_cast<const unsigned char*>(c.out.data());
            chosen.push_back({u, c.out.size() == 1 ? b[0] : unsigned{b[0]} << 8 | b[1]});
        }
        put(static_cast<unsigned>(chosen.size()), false);
        for (auto [u, code] : chosen) {
            put(u, true);
            put(code, false);
        }
    }
    if (decode != reinterpret_cast<iconv_t>(-1)) iconv_close(decode);
    if (encode != reinterpret_cast<iconv_t>(-1)) iconv_close(encode);
    if (!fits) out.clear();
    return out;
}

}  // namespace fontbake
