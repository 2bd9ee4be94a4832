// CP932 text drawing: glyphs in their cells, every game text drawable,
// clipping at each edge, and pixels between glyphs left alone.
#include "winapi/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "winapi/cp932.h"

namespace {

constexpr uint8_t kPaper = 0x11;
constexpr uint8_t kInk = 0xEE;

// An 8-bit picture inside a larger allocation whose border must never be written.
class Canvas {
public:
    static constexpr int kGuard = 40;

    Canvas(int width, int height)
        : width_(width), height_(height), pitch_(width + 2 * kGuard),
          memory_(static_cast<size_t>(pitch_) * (height + 2 * kGuard)) {
        for (size_t i = 0; i < memory_.size(); ++i) memory_[i] = Pattern(static_cast<int>(i));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Ref(x, y) = kPaper;
    }

    int Draw(int x, int y, const std::string& text, uint8_t ink = kInk) {
        return DrawTextCp932(&Ref(0, 0), width_, height_, pitch_, x, y, text.data(), static_cast<int>(text.size()),
                             ink);
    }
    uint8_t At(int x, int y) const { return memory_[Offset(x, y)]; }
    bool Ink(int x, int y) const { return At(x, y) == kInk; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Counts of ink pixels outside the picture (the guard border) and written anywhere in it.
    int GuardWrites() const {
        int writes = 0;
        for (size_t i = 0; i < memory_.size(); ++i) {
            int x = static_cast<int>(i % pitch_) - kGuard, y = static_cast<int>(i / pitch_) - kGuard;
            bool inside = x >= 0 && x < width_ && y >= 0 && y < height_;
            if (!inside && memory_[i] != Pattern(static_cast<int>(i))) ++writes;
        }
        return writes;
    }
    int InkCount() const {
        int count = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) count += Ink(x, y);
        return count;
    }

private:
    static uint8_t Pattern(int i) { return static_cast<uint8_t>(0x40 + i % 61); }
    size_t Offset(int x, int y) const { return static_cast<size_t>(y + kGuard) * pitch_ + x + kGuard; }
    uint8_t& Ref(int x, int y) { return memory_[Offset(x, y)]; }

    int width_, height_, pitch_;
    std::vector<uint8_t> memory_;
};

struct InkBox {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
    bool empty() const { return left > right; }
};

InkBox Bounds(const Canvas& c) {
    InkBox box;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.Ink(x, y)) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// Runs of consecutive rows (or columns) holding ink: "一" has one, "三" three.
int Bands(const Canvas& c, bool rows) {
    int outer = rows ? c.height() : c.width(), inner = rows ? c.width() : c.height();
    int bands = 0;
    bool previous = false;
    for (int i = 0; i < outer; ++i) {
        bool any = false;
        for (int j = 0; j < inner && !any; ++j) any = rows ? c.Ink(j, i) : c.Ink(i, j);
        if (any && !previous) ++bands;
        previous = any;
    }
    return bands;
}

std::string Cp932(const std::string& utf8) {
    std::string cp932 = winapi::Utf8ToCp932(utf8);
    EXPECT_EQ(cp932.find('?'), std::string::npos) << utf8;
    return cp932;
}

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The characters of a CP932 string, one string each.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < text.size();) {
        size_t n = IsLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        chars.push_back(text.substr(i, n));
        i += n;
    }
    return chars;
}

struct GlyphCase {
    const char* name;
    const char* utf8;
    int advance;
    int rowBands;     // 0: any number, but some ink
    int columnBands;  // 0: any number
    int bottomRow;    // lowest ink row in the cell, -1: any
};

class GlyphShape : public testing::TestWithParam<GlyphCase> {};

// Each glyph lands in its own cell, from the right font and the right code.
TEST_P(GlyphShape, LandsInItsCellWithItsShape) {
    const GlyphCase& g = GetParam();
    Canvas canvas(64, 40);
    const int x = 20, y = 10;
    EXPECT_EQ(canvas.Draw(x, y, Cp932(g.utf8)), g.advance);
    InkBox box = Bounds(canvas);
    ASSERT_FALSE(box.empty()) << "no glyph drawn";
    EXPECT_GE(box.left, x);
    EXPECT_LT(box.right, x + g.advance);
    EXPECT_GE(box.top, y);
    EXPECT_LT(box.bottom, y + kTextCellHeight);
    if (g.rowBands > 0) {
        EXPECT_EQ(Bands(canvas, true), g.rowBands) << "horizontal strokes";
    }
    if (g.columnBands > 0) {
        EXPECT_EQ(Bands(canvas, false), g.columnBands) << "vertical strokes";
    }
    if (g.bottomRow >= 0) {
        EXPECT_EQ(box.bottom - y, g.bottomRow) << "lowest row of ink";
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, GlyphShape,
                         testing::Values(
                             // Half-width ASCII: capitals sit on the baseline (ascent 14), '_' hangs below it.
                             GlyphCase{"CapitalA", "A", 8, 1, 0, kTextAscent - 1}, GlyphCase{"Minus", "-", 8, 1, 1, -1},
                             GlyphCase{"Equals", "=", 8, 2, 1, -1}, GlyphCase{"Underscore", "_", 8, 1, 1, kTextAscent},
                             GlyphCase{"Bar", "|", 8, 1, 1, kTextCellHeight - 1},
                             // Half-width katakana (JIS X 0201, not Latin-1's degree sign and AE at those bytes).
                             GlyphCase{"KatakanaLongVowel", "ｰ", 8, 1, 1, -1},
                             GlyphCase{"KatakanaNi", "ﾆ", 8, 2, 0, -1},
                             // Kanji through the JIS arithmetic: one, two and three strokes.
                             GlyphCase{"KanjiOne", "一", 16, 1, 0, -1}, GlyphCase{"KanjiTwo", "二", 16, 2, 0, -1},
                             GlyphCase{"KanjiThree", "三", 16, 3, 0, -1}, GlyphCase{"FullWidthBar", "｜", 16, 1, 1, -1},
                             GlyphCase{"Hiragana", "あ", 16, 0, 0, -1},
                             // NEC and IBM rows, which only the fallback font has.
                             GlyphCase{"NecCircledOne", "①", 16, 0, 0, -1},
                             GlyphCase{"NecIbmKanji", "纊", 16, 0, 0, -1}),
                         [](const testing::TestParamInfo<GlyphCase>& info) { return std::string(info.param.name); });

// The IBM extension's own code for a character draws the same as the NEC-selected one.
TEST(Text, IbmExtensionCodesDraw) {
    Canvas ibm(32, 16), nec(32, 16);
    EXPECT_EQ(ibm.Draw(0, 0, "\xFA\x40"), 16);
    EXPECT_EQ(nec.Draw(0, 0, "\xEE\xEF"), 16);
    EXPECT_GT(ibm.InkCount(), 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(ibm.At(x, y), nec.At(x, y)) << "at " << x << "," << y;
}

struct AdvanceCase {
    const char* name;
    std::string text;
    int advance;
};

// Half-width bytes advance 8, double-byte characters 16, broken pairs byte by byte.
TEST(Text, Advances) {
    const AdvanceCase cases[] = {
        {"Empty", "", 0},
        {"Ascii", "AB c", 32},
        {"Katakana", "\xB1\xB2", 16},
        {"Kanji", "\x88\xEA\x93\xF1", 32},
        {"Mixed", "A\xB1\x88\xEA", 32},
        {"LeadAtEnd", "A\x88", 16},
        {"LeadWithoutTrail", "\x88 ", 16},
        {"LineFeed", "A\nB", 24},
        {"UnmappedLead", "\xF0\x40", 16},
    };
    for (const AdvanceCase& c : cases) {
        Canvas canvas(8, 8);
        EXPECT_EQ(canvas.Draw(0, 0, c.text), c.advance) << c.name;
    }
}

// A line is its characters drawn one by one at their pens, and nothing for control bytes.
TEST(Text, LineIsItsCharactersSideBySide) {
    const std::string line = Cp932("Aｱ一|\n") + "Z";
    Canvas whole(96, 24), parts(96, 24);
    int advance = whole.Draw(3, 4, line);
    int pen = 3;
    for (const std::string& ch : Characters(line)) pen += parts.Draw(pen, 4, ch);
    EXPECT_EQ(advance, pen - 3);
    EXPECT_EQ(advance, 8 + 8 + 16 + 8 + 8 + 8);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 96; ++x) ASSERT_EQ(whole.At(x, y), parts.At(x, y)) << "at " << x << "," << y;
    Canvas lineFeed(16, 16);
    lineFeed.Draw(0, 0, "\n");
    EXPECT_EQ(lineFeed.InkCount(), 0);
}

std::vector<std::string> TextsOf(const std::string& file) {
    std::ifstream in(std::string(KAWAUO_SOURCE_DIR) + "/" + file);
    EXPECT_TRUE(in) << file;
    std::vector<std::string> texts;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t start = line.find_first_not_of(" \t", line.find_first_of(" \t"));
        if (start == std::string::npos) continue;
        std::string text = line.substr(start);
        for (size_t p; (p = text.find("\\n")) != std::string::npos;) text.replace(p, 2, "\n");
        texts.push_back(text);
    }
    return texts;
}

// Every character of the game's texts has a glyph (spaces excepted).
TEST(Text, EveryGameTextHasAllItsGlyphs) {
    int checked = 0;
    for (const char* file : {"game/texts.txt", "display/texts.txt"}) {
        std::vector<std::string> texts = TextsOf(file);
        EXPECT_GT(texts.size(), 3u) << file;
        for (const std::string& text : texts) {
            for (const std::string& ch : Characters(Cp932(text))) {
                if (ch == " " || ch == "\n" || ch == "\x81\x40") continue;  // blanks show nothing
                Canvas canvas(24, 16);
                canvas.Draw(0, 0, ch);
                EXPECT_GT(canvas.InkCount(), 0) << "missing glyph in " << file << ": " << text;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 300);
}

struct ClipCase {
    const char* name;
    int x;
    int y;
};

// Clipped text is the unclipped text's window, and nothing lands outside the picture.
TEST(Text, ClipsAtEveryEdge) {
    const std::string text = Cp932("あA一ｱ_");
    Canvas reference(56, 16);
    const int advance = reference.Draw(0, 0, text);
    ASSERT_EQ(advance, 56);
    const int w = 64, h = 40;
    const ClipCase cases[] = {
        {"Inside", 8, 12},
        {"LeftEdge", -5, 12},
        {"LeftMost", -55, 12},
        {"RightEdge", 30, 12},
        {"RightMost", 63, 12},
        {"TopEdge", 8, -3},
        {"TopMost", 8, -15},
        {"BottomEdge", 8, 30},
        {"BottomMost", 8, 39},
        {"Corner", -20, -9},
        {"FarCorner", 50, 33},
        {"OutLeft", -56, 12},
        {"OutRight", 64, 12},
        {"OutTop", 8, -16},
        {"OutBottom", 8, 40},
        {"MinX", INT_MIN, 12},
        {"MaxX", INT_MAX, 12},
        {"MinY", 8, INT_MIN},
        {"MaxY", 8, INT_MAX},
        {"MinBoth", INT_MIN, INT_MIN},
        {"NearMaxX", INT_MAX - 20, 12},
    };
    for (const ClipCase& c : cases) {
        Canvas canvas(w, h);
        EXPECT_EQ(canvas.Draw(c.x, c.y, text), advance) << c.name;
        EXPECT_EQ(canvas.GuardWrites(), 0) << c.name;
        int mismatches = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int64_t rx = int64_t{x} - c.x, ry = int64_t{y} - c.y;
                bool ink = rx >= 0 && rx < advance && ry >= 0 && ry < 16 && reference.Ink(int(rx), int(ry));
                mismatches += canvas.At(x, y) != (ink ? kInk : kPaper);
            }
        EXPECT_EQ(mismatches, 0) << c.name << " at (" << c.x << ", " << c.y << ")";
    }
}

// Only glyph pixels change, to exactly the index asked for; the rest keep their colours.
TEST(Text, LeavesPixelsBetweenGlyphsAlone) {
    const std::string text = Cp932("体力 ｱA 一");
    Canvas reference(80, 16);
    reference.Draw(0, 0, text);
    for (uint8_t index : {uint8_t{0}, uint8_t{0xD0}, uint8_t{0xFF}}) {
        std::vector<uint8_t> pixels(80 * 16);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(1 + i * 7 % 200);
        std::vector<uint8_t> before = pixels;
        DrawTextCp932(pixels.data(), 80, 16, 80, 0, 0, text.data(), static_cast<int>(text.size()), index);
        int changed = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 80; ++x) {
                size_t i = static_cast<size_t>(y) * 80 + x;
                uint8_t expected = reference.Ink(x, y) ? index : before[i];
                ASSERT_EQ(pixels[i], expected) << "index " << int(index) << " at " << x << "," << y;
                changed += pixels[i] != before[i];
            }
        EXPECT_EQ(changed, reference.InkCount());
    }
}

}  // namespace
