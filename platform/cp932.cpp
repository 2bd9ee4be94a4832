// CP932 <-> UTF-8 through glibc iconv, and the game's file names as paths here.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/platform_internal.h"

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Opened once a direction and kept: the game converts every text it logs.
iconv_t Converter(const char* to, const char* from, iconv_t* cache) {
    if (*cache == kNoConverter) *cache = iconv_open(to, from);
    return *cache;
}

// Length of the UTF-8 character starting at `s` (at most `left` bytes), or
// 1 when the bytes there are no well-formed character.
size_t Utf8CharLength(const unsigned char* s, size_t left) {
    size_t length = s[0] >= 0xF0 && s[0] <= 0xF4 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC2 ? 2 : 1;
    if (s[0] >= 0xF5 || length > left) return 1;
    for (size_t i = 1; i < length; ++i)
        if ((s[i] & 0xC0) != 0x80) return 1;
    return length;
}

// Converts all of `in`; a byte sequence the converter refuses becomes
// `substitute` and is skipped by `skip` bytes, so nothing stops the text.
template <typename Skip>
std::string Convert(iconv_t cd, const char* in, size_t length, const char* substitute, Skip skip) {
    std::string out;
    if (cd == kNoConverter) {
        out.assign(in, length);  // no converter at all: the bytes are better than nothing
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // No input byte gives more than three output bytes (a half-width kana,
    // a replacement character), so one buffer holds the whole result.
    out.resize(length * 3);
    char* src = const_cast<char*>(in);
    size_t srcLeft = length;
    char* dst = out.data();
    size_t dstLeft = out.size();
    const size_t substituteLength = std::strlen(substitute);
    while (srcLeft > 0 && iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
        // Not a character of the code page, or one cut short by the end of the text.
        size_t n = errno == EINVAL ? srcLeft
                                   : std::min(srcLeft, skip(reinterpret_cast<const unsigned char*>(src), srcLeft));
        src += n;
        srcLeft -= n;
        std::memcpy(dst, substitute, substituteLength);
        dst += substituteLength;
        dstLeft -= substituteLength;
    }
    out.resize(out.size() - dstLeft);
    return out;
}

}  // namespace

namespace platform {

std::string Cp932ToUtf8(const char* text, size_t length) {
    static iconv_t cache = kNoConverter;
    if (text == nullptr) return std::string();
    // One bad byte is replaced; its neighbour may start a good character.
    return Convert(Converter("UTF-8", "CP932", &cache), text, length, "\xEF\xBF\xBD",
                   [](const unsigned char*, size_t) { return size_t{1}; });
}

std::string Utf8ToCp932(const std::string& text) {
    static iconv_t cache = kNoConverter;
    return Convert(Converter("CP932", "UTF-8", &cache), text.data(), text.size(), "?", Utf8CharLength);
}

std::string NativePath(const char* name) {
    if (name == nullptr) return std::string();
    // Decoded first: a trail byte of a double-byte character may be 0x5C,
    // and only real separators become '/'.
    std::string path = Cp932ToUtf8(name, std::strlen(name));
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace platform
