// The message box's picture: its text in lines (split, wrapped at spaces,
// never inside a character), every glyph shown in the text's place, and a
// box sized to hold text and button.
#include "hosts/core/box_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/texts.h"
#include "winapi/cp932.h"
#include "winapi/text.h"

namespace {

std::string Cp932(const char* utf8) { return winapi::Utf8ToCp932(utf8); }

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Pixels of `colour` in a rectangle of the picture.
int Count(const core::box::Picture& p, core::box::Rect r, uint8_t colour) {
    int n = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) n += p.pixels[static_cast<size_t>(y * p.width + x)] == colour;
    return n;
}

// Pixels the font sets for each line of `text`, drawn unwrapped.
int Ink(const std::string& text) {
    int n = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find('\n', start), text.size());
        std::vector<uint8_t> pixels(8192 * kTextCellHeight, 0);
        DrawTextCp932(pixels.data(), 8192, kTextCellHeight, 8192, 0, 0, text.data() + start,
                      static_cast<int>(end - start), 1);
        for (uint8_t v : pixels) n += v;
        start = end + 1;
    }
    return n;
}

TEST(BoxPicture, LinesSplitAndWrap) {
    const std::string fish = Cp932("魚");
    struct Case {
        std::string text;
        int maxWidth;
        std::vector<std::string> lines;
    } cases[] = {
        {"", 600, {""}},
        {"a\nb\n\n", 600, {"a", "b"}},
        {"a\r\n\nb", 600, {"a", "", "b"}},
        {"aaaa bbbb cccc", 72, {"aaaa bbbb", "cccc"}},  // at the space, which goes
        {"aaaaaaaaaaaa", 64, {"aaaaaaaa", "aaaa"}},     // no space: at the width
        {Repeat(fish, 5), 40, {fish + fish, fish + fish, fish}},
        {"a" + fish, 16, {"a", fish}},
        {fish, 8, {fish}},  // a character wider than the box still shows
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::box::Lines(c.text, c.maxWidth), c.lines) << c.text << " in " << c.maxWidth;
}

TEST(BoxPicture, EveryGlyphShowsInTheTextsPlace) {
    struct Case {
        const char* what;
        std::string text;
        int lines;
    } cases[] = {
        {"the missing picture's box", std::string(kTextCreateFailed), 2},
        {"a long report", "DirectDraw Error code| DDERR_GENERIC |" + Repeat(" DDCreateSurface() : GetDC", 4), 3},
        {"Japanese without a space", Repeat(Cp932("魚が川を泳ぐ。"), 12), 3},
        {"one long word", std::string(150, 'x'), 3},
    };
    for (const Case& c : cases) {
        const core::box::Picture p = core::box::Draw(std::string(kTextCreateFailedCaption), c.text);
        EXPECT_EQ(Count(p, p.text, core::box::kInk), Ink(c.text)) << c.what;
        EXPECT_GT(Count(p, p.text, core::box::kInk), 0) << c.what;
        EXPECT_EQ(p.text.h, c.lines * core::box::kLineHeight) << c.what;
        EXPECT_GE(p.width, core::box::kMinWidth) << c.what;
        EXPECT_LE(p.width, core::box::kMaxWidth) << c.what;
        EXPECT_GE(p.button.y, p.text.y + p.text.h) << c.what;
        EXPECT_LE(p.button.y + p.button.h, p.height) << c.what;
        EXPECT_GT(Count(p, {0, 0, p.width, core::box::kCaptionHeight}, core::box::kCaptionInk), 0) << c.what;
    }
}

}  // namespace
