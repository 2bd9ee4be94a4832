// CP932 <-> UTF-8 from the baked tables, exactly as glibc's iconv converts;
// ASCII, which the code page keeps as it is, needs no table.
#include "winapi/cp932.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <vector>

#include "winapi/baked.h"
#include "winapi/host.h"

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// The baked tables, asked of the host on first use. Tables that do not read whole leave
// every byte undecodable and every character unencodable.
class CodePage {
public:
    CodePage() {
        single_.fill(winapi::baked::kNoCharacter);
        leadRow_.fill(-1);
        if (!Unpack(winapi::host::Font().cp932)) {
            single_.fill(winapi::baked::kNoCharacter);
            encode_.clear();
        }
    }

    // The Unicode of the byte at `s`, or of the pair starting there, and how
    // many bytes it took; kNoCharacter for a byte that is none.
    uint32_t Decode(const unsigned char* s, size_t left, size_t* used) const {
        *used = 1;
        uint16_t u = single_[s[0]];
        if (u != winapi::baked::kLeadByte) return u;
        if (left < 2) return winapi::baked::kNoCharacter;  // cut short by the end
        u = pairs_[static_cast<size_t>(leadRow_[s[0]]) * 256 + s[1]];
        // A pair that is no character leaves its second byte to be read again.
        if (u != winapi::baked::kNoCharacter) *used = 2;
        return u;
    }

    // The code page's code for a character (a byte, or lead << 8 | trail), -1 when it has none.
    int Encode(uint32_t u) const {
        auto it = std::lower_bound(encode_.begin(), encode_.end(), u,
                                   [](const std::pair<uint16_t, uint16_t>& e, uint32_t v) { return e.first < v; });
        return it != encode_.end() && it->first == u ? it->second : -1;
    }

private:
    bool Unpack(std::span<const uint8_t> data) {
        size_t at = 4;
        auto has = [&](size_t n) { return data.size() - at >= n; };
        auto u16 = [&] {
            uint16_t v = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
            at += 2;
            return v;
        };
        if (data.size() < at + 512 || std::memcmp(data.data(), winapi::baked::kCp932Magic, 4) != 0) return false;
        int leads = 0;
        for (size_t b = 0; b < 256; ++b) {
            single_[b] = u16();
            if (single_[b] == winapi::baked::kLeadByte) leadRow_[b] = leads++;
        }
        if (!has(size_t{512} * leads + 2)) return false;
        pairs_.resize(size_t{256} * leads);
        for (uint16_t& u : pairs_) u = u16();
        const size_t count = u16();
        if (!has(count * 4)) return false;
        encode_.resize(count);
        for (auto& [u, code] : encode_) {
            u = u16();
            code = u16();
        }
        return at == data.size() && std::is_sorted(encode_.begin(), encode_.end());
    }

    std::array<uint16_t, 256> single_;
    std::array<int, 256> leadRow_;  // row in pairs_ of each lead byte
    std::vector<uint16_t> pairs_;
    std::vector<std::pair<uint16_t, uint16_t>> encode_;  // by Unicode
};

const CodePage& TheCodePage() {
    static const CodePage codePage;
    return codePage;
}

void AppendUtf8(uint32_t u, std::string* out) {
    if (u < 0x80) {
        out->push_back(static_cast<char>(u));
    } else if (u < 0x800) {
        out->push_back(static_cast<char>(0xC0 | u >> 6));
        out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | u >> 12));
        out->push_back(static_cast<char>(0x80 | (u >> 6 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
}

// Length of the UTF-8 character starting at `s` (at most `left` bytes), or
// 1 when the bytes there are no well-formed character: how far a character
// the code page refuses is skipped.
size_t Utf8CharLength(const unsigned char* s, size_t left) {
    size_t length = s[0] >= 0xF0 && s[0] <= 0xF4 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC2 ? 2 : 1;
    if (s[0] >= 0xF5 || length > left) return 1;
    for (size_t i = 1; i < length; ++i)
        if ((s[i] & 0xC0) != 0x80) return 1;
    return length;
}

enum class Utf8 { Character, IllFormed, CutShort };

// One character read as glibc reads UTF-8: a sequence that could still
// become a character, or one of the old five- and six-byte forms, that meets
// the end of the text is cut short, not ill-formed.
Utf8 ReadUtf8(const unsigned char* s, size_t left, uint32_t* u, size_t* length) {
    size_t count = s[0] < 0x80   ? 1
                   : s[0] < 0xC2 ? 0
                   : s[0] < 0xE0 ? 2
                   : s[0] < 0xF0 ? 3
                   : s[0] < 0xF8 ? 4
                   : s[0] < 0xFC ? 5
                   : s[0] < 0xFE ? 6
                                 : 0;
    if (count == 0) return Utf8::IllFormed;
    *u = s[0] & (count == 1 ? 0x7Fu : 0x7Fu >> count);
    if (count > left) {
        for (size_t i = 1; i < left; ++i)
            if ((s[i] & 0xC0) != 0x80) return Utf8::IllFormed;
        return Utf8::CutShort;
    }
    for (size_t i = 1; i < count; ++i) {
        if ((s[i] & 0xC0) != 0x80) return Utf8::IllFormed;
        *u = *u << 6 | (s[i] & 0x3Fu);
    }
    bool overlong = count > 2 && (*u >> (5 * count - 4)) == 0;
    if (overlong || *u > 0x10FFFF || (*u >= 0xD800 && *u < 0xE000)) return Utf8::IllFormed;
    *length = count;
    return Utf8::Character;
}

}  // namespace

namespace winapi {

// One bad byte is replaced; its neighbour may start a good character. Text
// all of ASCII (file names, the title's) is itself, and needs no tables: a
// browser fetches them after the title.
std::string Cp932ToUtf8(const char* text, size_t length) {
    if (text == nullptr) return std::string();
    if (std::all_of(text, text + length, [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(text, length);
    const CodePage& codePage = TheCodePage();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::string out;
    out.reserve(length * 3);
    for (size_t i = 0; i < length;) {
        size_t used;
        uint32_t u = codePage.Decode(bytes + i, length - i, &used);
        AppendUtf8(u == baked::kNoCharacter ? kReplacement : u, &out);
        i += used;
    }
    return out;
}

// A character the code page lacks, or bytes that are no character, become
// one '?' each; bytes cut short by the end of the text become one '?'
// together.
std::string Utf8ToCp932(const std::string& text) {
    const CodePage& codePage = TheCodePage();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::string out;
    for (size_t i = 0; i < text.size();) {
        uint32_t u = 0;
        size_t length = 0;
        Utf8 read = ReadUtf8(bytes + i, text.size() - i, &u, &length);
        if (read == Utf8::CutShort) {
            out.push_back('?');
            break;
        }
        // glibc drops the language tags (U+E0000-E007F) on the way to any code page.
        if (read == Utf8::Character && u >> 7 == 0xE0000 >> 7) {
            i += length;
            continue;
        }
        int code = read == Utf8::Character ? codePage.Encode(u) : -1;
        if (code < 0) {
            out.push_back('?');
            i += Utf8CharLength(bytes + i, text.size() - i);
            continue;
        }
        if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
        i += length;
    }
    return out;
}

}  // namespace winapi
