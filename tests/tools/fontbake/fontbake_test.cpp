// The committed font/ files against the fonts and glibc they were baked
// from: the tool makes them byte for byte, every glyph draws as FreeType drew
// it, and the CP932 conversions give what iconv gave.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/support.h"
#include "tools/fontbake/bake.h"
#include "winapi/baked.h"
#include "winapi/cp932.h"
#include "winapi/text.h"

namespace {

std::vector<uint8_t> Committed(const char* name) {
    return testsupport::ReadBytes(std::string(KAWAUO_SOURCE_DIR) + "/font/" + name);
}

class FontBake : public testing::Test {
protected:
    void SetUp() override {
        if (!font_.Complete()) GTEST_SKIP() << "the font packages or glibc's CP932 are not installed";
    }
    fontbake::FreeTypeFont font_;
};

TEST_F(FontBake, ToolMakesTheCommittedFiles) {
    EXPECT_TRUE(fontbake::BakeGlyphs(font_) == Committed("glyphs16.bin")) << "run kawauo-fontbake font";
    EXPECT_TRUE(fontbake::BakeCp932() == Committed("cp932.bin")) << "run kawauo-fontbake font";
}

// Every code text drawing can meet, alone at a pen with room all round, draws
// exactly the FreeType glyph of that code, or nothing where it had none.
TEST_F(FontBake, EveryGlyphDrawsAsFreeTypeDrewIt) {
    constexpr int kSize = 64, kPen = 16;
    int drawn = 0, wrong = 0;
    for (int code = 0; code < 0x10000; ++code) {
        bool pair = code > 0xFF;
        if (pair && !(winapi::baked::IsLeadByte(code >> 8u) && winapi::baked::IsTrailByte(code & 0xFFu))) continue;
        std::vector<uint8_t> expected(kSize * kSize), actual(kSize * kSize);
        fontbake::Glyph glyph;
        if (font_.Render(code, &glyph)) {
            for (int r = 0; r < glyph.rows; ++r)
                for (int c = 0; c < glyph.width; ++c)
                    if (glyph.bits[static_cast<size_t>(r)] & 0x80000000u >> c)
                        expected[static_cast<size_t>((kPen + glyph.top + r) * kSize + kPen + glyph.left + c)] = 1;
        }
        const char bytes[2] = {static_cast<char>(pair ? code >> 8 : code), static_cast<char>(code & 0xFF)};
        int advance =
            DrawTextCp932(actual.data(), kSize, kSize, kSize, kPen, kPen, pair ? bytes : bytes + 1, pair ? 2 : 1, 1);
        drawn += expected != std::vector<uint8_t>(kSize * kSize);
        if (actual != expected || advance != (pair ? 16 : 8)) {
            if (++wrong <= 10) ADD_FAILURE() << "code 0x" << std::hex << code << " draws differently";
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(drawn, 7000) << "glyphs with ink";
}

// The conversions as they were made through iconv, substitutions and all.
std::string IconvConvert(iconv_t cd, const std::string& in, const char* substitute, bool skipCharacter) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 3 + 3, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0 && iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
        const auto* s = reinterpret_cast<const unsigned char*>(src);
        size_t n = 1;
        if (errno == EINVAL) {
            n = srcLeft;
        } else if (skipCharacter) {
            size_t length = s[0] >= 0xF0 && s[0] <= 0xF4 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC2 ? 2 : 1;
            bool whole = s[0] < 0xF5 && length <= srcLeft;
            for (size_t i = 1; whole && i < length; ++i) whole = (s[i] & 0xC0) == 0x80;
            n = whole ? length : 1;
        }
        src += n;
        srcLeft -= n;
        std::memcpy(dst, substitute, std::strlen(substitute));
        dst += std::strlen(substitute);
        dstLeft -= std::strlen(substitute);
    }
    out.resize(out.size() - dstLeft);
    return out;
}

std::string Utf8(uint32_t u) {
    if (u < 0x80) return std::string(1, static_cast<char>(u));
    if (u < 0x800) return {static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F))};
    if (u < 0x10000)
        return {static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | (u >> 6 & 0x3F)),
                static_cast<char>(0x80 | (u & 0x3F))};
    return {static_cast<char>(0xF0 | u >> 18), static_cast<char>(0x80 | (u >> 12 & 0x3F)),
            static_cast<char>(0x80 | (u >> 6 & 0x3F)), static_cast<char>(0x80 | (u & 0x3F))};
}

// Every string of up to `length` bytes drawn from `alphabet`.
std::vector<std::string> Strings(const std::string& alphabet, size_t length) {
    std::vector<std::string> all = {""}, last = {""};
    for (size_t n = 1; n <= length; ++n) {
        std::vector<std::string> next;
        for (const std::string& s : last)
            for (char c : alphabet) next.push_back(s + c);
        all.insert(all.end(), next.begin(), next.end());
        last = std::move(next);
    }
    return all;
}

TEST_F(FontBake, ConversionsGiveWhatIconvGave) {
    struct Case {
        const char* name;
        std::vector<std::string> inputs;
        bool toUtf8;
    };
    std::vector<std::string> characters, pairs;
    for (uint32_t u = 0; u <= 0x10FFFF; ++u)
        if (u < 0xD800 || u >= 0xE000) characters.push_back(Utf8(u) + "x");
    for (int code = 0; code < 0x10000; ++code) pairs.push_back({static_cast<char>(code >> 8), static_cast<char>(code)});
    // Bytes at the edges of UTF-8's and CP932's ranges, three at a time.
    const std::string edges(
        "\x00\x41\x5C\x7E\x7F\x80\x81\x9F\xA0\xA1\xBF\xC0\xC1\xC2\xDF\xE0\xE3\xED\xEF"
        "\xF0\xF4\xF5\xF7\xF8\xFC\xFD\xFF\x40\x90",
        29);
    const Case cases[] = {
        {"every character, then more text", characters, false},
        {"byte strings as UTF-8", Strings(edges, 3), false},
        {"every byte and pair", pairs, true},
        {"byte strings as CP932", Strings(edges, 3), true},
    };
    iconv_t toUtf8 = iconv_open("UTF-8", "CP932"), toCp932 = iconv_open("CP932", "UTF-8");
    for (const Case& c : cases) {
        int wrong = 0;
        for (const std::string& in : c.inputs) {
            std::string expected =
                c.toUtf8 ? IconvConvert(toUtf8, in, "\xEF\xBF\xBD", false) : IconvConvert(toCp932, in, "?", true);
            std::string actual = c.toUtf8 ? winapi::Cp932ToUtf8(in.data(), in.size()) : winapi::Utf8ToCp932(in);
            if (actual != expected && ++wrong <= 5)
                ADD_FAILURE() << c.name << ": differs for " << testing::PrintToString(in);
        }
        EXPECT_EQ(wrong, 0) << c.name << ", " << c.inputs.size() << " inputs";
    }
    iconv_close(toUtf8);
    iconv_close(toCp932);
}

}  // namespace
