// The title and pause pictures: lettering over see-through areas, so the
// river keeps flowing behind them; one of each for every language.
#include <algorithm>

#include "tools/bmpgen/pictures.h"

namespace pictures {

using namespace art;

namespace {

// What the title and pause pictures say.
struct Words {
    const char* name;
    const char* motto;
    const char* start;
    const char* paused;
    const char* resume;
};

const Words& WordsIn(winapi::texts::Language language) {
    static const Words kJapanese{"川魚", "汚れた川を さかのぼれ", "SPACEキーでスタート", "一時停止", "SPACEキーで再開"};
    static const Words kEnglish{"KAWAUO", "Swim up the polluted river", "SPACE to start", "PAUSED", "SPACE to resume"};
    return language == winapi::texts::Language::kEnglish ? kEnglish : kJapanese;
}

// Lettering centred on cx with its top at y, enlarged 2^steps times, filled
// with a dithered top-to-bottom gradient inside a rim of `rim` pixels.
// Returns the height drawn.
int Letters(Canvas& c, const std::string& text, int steps, int cx, int y, Rgb top, Rgb bottom, Rgb rimColour, int rim) {
    Mask m = TextMask(text);
    for (int i = 0; i < steps; ++i) m = Scale2x(m);
    const Mask thick = Dilate(m, rim);
    const int x0 = cx - m.w / 2;
    const uint32_t shadow = Flat({4, 8, 16}), edge = Flat(rimColour);
    for (int py = 0; py < thick.h; ++py)
        for (int px = 0; px < thick.w; ++px)
            if (thick.At(px, py)) c.Set(x0 - rim + px + rim / 2 + 2, y - rim + py + rim / 2 + 2, shadow);
    for (int py = 0; py < thick.h; ++py)
        for (int px = 0; px < thick.w; ++px)
            if (thick.At(px, py)) c.Set(x0 - rim + px, y - rim + py, edge);
    for (int py = 0; py < m.h; ++py)
        for (int px = 0; px < m.w; ++px) {
            if (!m.At(px, py)) continue;
            Rgb col = Mix(top, bottom, py * 256 / m.h);
            if (!m.At(px, py - (1 << steps) / 2 - 1)) col = Mix(col, {255, 255, 255}, 160);  // lit upper rims
            c.Set(x0 + px, y + py, Px(col));
        }
    return m.h;
}

// Every other pixel dark: the river shows through, dimmed.
void Dim(Canvas& c, int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if ((x + y) % 2) c.Set(x, y, Flat(colour));
}

// A solid panel with a light double border and rounded corners.
void Panel(Canvas& c, int x0, int y0, int x1, int y1) {
    constexpr int kCorner = 8;
    Shape(
        c, x0, y0, x1, y1,
        [&](int x, int y) {
            const int dx = std::max({x0 + kCorner - x, x - (x1 - kCorner), 0});
            const int dy = std::max({y0 + kCorner - y, y - (y1 - kCorner), 0});
            return dx * dx + dy * dy <= kCorner * kCorner;
        },
        [&](int x, int y) {
            const bool frame = x < x0 + 4 || x > x1 - 4 || y < y0 + 4 || y > y1 - 4;
            if (frame) return Flat({150, 210, 240});
            return Px(Mix({20, 50, 110}, {6, 16, 44}, (y - y0) * 256 / (y1 - y0)));
        },
        Flat({230, 250, 255}));
}

// A stylised wave under the title.
void Wave(Canvas& c, int cx, int y, int half) {
    for (int x = cx - half; x <= cx + half; ++x) {
        const int fade = (half - std::abs(x - cx)) * 256 / half;
        const int wy = y + 5 * Sin(x * kTurn / 48) / kOne;
        const int thick = 1 + 3 * fade / 256;
        for (int t = -thick; t <= thick; ++t) c.Set(x, wy + t, Flat(t < 0 ? Rgb{240, 250, 255} : Rgb{90, 190, 255}));
        if ((x & 1) && fade > 60) c.Set(x, wy + thick + 3, Flat({90, 190, 255}));
    }
}

}  // namespace

Canvas Title(winapi::texts::Language language) {
    const Words& words = WordsIn(language);
    Canvas c(kScreenW, kScreenH);
    Dim(c, 80, 36, 559, 286, {6, 18, 34});
    const int logo = Letters(c, words.name, 3, kScreenW / 2, 56, {250, 254, 255}, {60, 150, 230}, {10, 30, 80}, 5);
    Wave(c, kScreenW / 2, 56 + logo + 12, 200);
    Letters(c, words.motto, 1, kScreenW / 2, 56 + logo + 36, {255, 255, 255}, {170, 220, 240}, {10, 30, 80}, 2);
    Panel(c, 130, 360, 509, 424);
    Letters(c, words.start, 1, kScreenW / 2, 376, {255, 255, 120}, {255, 200, 40}, {60, 30, 0}, 2);
    return c;
}

Canvas Pause(winapi::texts::Language language) {
    const Words& words = WordsIn(language);
    Canvas c(kScreenW, kScreenH);
    Dim(c, 0, 0, kScreenW - 1, kScreenH - 1, {4, 10, 24});
    Panel(c, 150, 150, 489, 329);
    Letters(c, words.paused, 2, kScreenW / 2, 180, {255, 255, 255}, {150, 210, 250}, {10, 30, 80}, 3);
    Letters(c, words.resume, 1, kScreenW / 2, 266, {255, 255, 120}, {255, 200, 40}, {60, 30, 0}, 2);
    return c;
}

}  // namespace pictures
