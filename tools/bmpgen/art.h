// The picture generator's drawing kit: integer maths, seeded noise, an RGB
// canvas with transparency, shapes with outlines, and the one shared palette.
// Everything is integer arithmetic so that every compiler draws the same bytes.
#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "winapi/ddraw.h"

namespace art {

// ---- colours -------------------------------------------------------------

struct Rgb {
    int r, g, b;
};

// t runs 0..256 from a to b.
Rgb Mix(Rgb a, Rgb b, int t);
// Piecewise-linear ramp through evenly spaced stops, t 0..256 (clamped).
Rgb Ramp(std::initializer_list<Rgb> stops, int t);
// Brightness scale, 256 = unchanged (clamped to 0..255).
Rgb Shade(Rgb c, int scale);
Rgb Add(Rgb c, int dr, int dg, int db);

// ---- integer maths -------------------------------------------------------

constexpr int kTurn = 4096;  // angles: 4096 to a full turn
constexpr int kOne = 4096;   // Sin/Cos results run -kOne..kOne
int Sin(int angle);
int Cos(int angle);
int Isqrt(int64_t v);
int Clamp(int v, int lo, int hi);
// Direction of (dx, dy) in 1/4096 turns, 0 along +x, turning towards +y.
int Atan2(int dy, int dx);
// Smoothstep on 0..256.
int Smooth(int t);

// ---- seeded randomness ---------------------------------------------------

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed);

struct Rng {
    uint32_t state;
    uint32_t Next();
    // lo..hi inclusive.
    int Range(int lo, int hi);
};

// Smooth value noise 0..255 on a lattice of `cell` pixels. With periodX > 0
// the lattice repeats every periodX cells, so the noise tiles horizontally.
int Noise(int x, int y, int cell, int periodX, uint32_t seed);
// Sum of `octaves` noises, each half the cell and weight of the one before.
int Fbm(int x, int y, int cell, int octaves, int periodX, uint32_t seed);

// ---- the palette ---------------------------------------------------------

constexpr int kKeyIndex = 1;  // the one see-through index of every keyed picture
const PALETTEENTRY* Palette();
Rgb PaletteRgb(int index);

// ---- canvas --------------------------------------------------------------

// A pixel is a colour to dither (0x00RRGGBB), a colour to match without
// dithering (kFlat | rgb), or clear (see-through).
constexpr uint32_t kFlat = 0x01000000u;
constexpr uint32_t kClear = 0x02000000u;
constexpr uint32_t kNoEdge = 0xFFFFFFFFu;

uint32_t Px(Rgb c);
uint32_t Flat(Rgb c);
Rgb ToRgb(uint32_t pixel);

struct Canvas {
    Canvas(int width, int height, uint32_t fill = kClear);
    int w, h;
    bool wrapX = false;  // horizontal coordinates wrap (the scrolling river)
    std::vector<uint32_t> px;

    bool Has(int x, int y) const;
    uint32_t Get(int x, int y) const;  // clear outside
    void Set(int x, int y, uint32_t v);
    bool Opaque(int x, int y) const { return Get(x, y) != kClear; }
};

// Draws `top` over `base` (clear pixels of `top` leave `base`).
void Over(Canvas& base, const Canvas& top, int dx = 0, int dy = 0);

// Palette indices with a 4x4 ordered dither of +-amp on every channel; clear
// pixels become kKeyIndex, which no other pixel ever takes.
std::vector<uint8_t> Quantize(const Canvas& c, int amp);

// ---- shapes --------------------------------------------------------------

bool InEllipse(int x, int y, int cx, int cy, int rx, int ry);
// Pixel centre inside the polygon (even-odd); points as x0,y0,x1,y1,...
bool InPolygon(const std::vector<int>& pts, int x, int y);
// Squared distance (in 1/16 pixels squared) from the pixel centre to a segment.
int64_t SegDist2(int x, int y, int ax, int ay, int bx, int by);
bool InCapsule(int x, int y, int ax, int ay, int bx, int by, int r);

// Fills the pixels of the box [x0,x1]x[y0,y1] where inside(x, y) holds with
// shade(x, y); those of them beside a pixel outside the shape take `edge`
// (unless kNoEdge), which gives each part its own outline.
template <class Inside, class ShadeFn>
void Shape(Canvas& c, int x0, int y0, int x1, int y1, Inside inside, ShadeFn shade, uint32_t edge = kNoEdge) {
    const int mw = x1 - x0 + 3, mh = y1 - y0 + 3;
    if (mw <= 2 || mh <= 2) return;
    std::vector<uint8_t> m(static_cast<size_t>(mw) * static_cast<size_t>(mh), 0);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) m[static_cast<size_t>((y - y0 + 1) * mw + (x - x0 + 1))] = inside(x, y) ? 1 : 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const size_t i = static_cast<size_t>((y - y0 + 1) * mw + (x - x0 + 1));
            if (!m[i]) continue;
            const bool rim = edge != kNoEdge && (!m[i - 1] || !m[i + 1] || !m[i - static_cast<size_t>(mw)] ||
                                                 !m[i + static_cast<size_t>(mw)]);
            c.Set(x, y, rim ? edge : shade(x, y));
        }
    }
}

// Shape() over a polygon (points as x0,y0,x1,y1,...) within its bounding box.
template <class ShadeFn>
void ShapePolygon(Canvas& c, const std::vector<int>& pts, ShadeFn shade, uint32_t edge = kNoEdge) {
    if (pts.size() < 2) return;
    int x0 = pts[0], x1 = pts[0], y0 = pts[1], y1 = pts[1];
    for (size_t i = 0; i + 1 < pts.size(); i += 2) {
        x0 = std::min(x0, pts[i]);
        x1 = std::max(x1, pts[i]);
        y0 = std::min(y0, pts[i + 1]);
        y1 = std::max(y1, pts[i + 1]);
    }
    Shape(
        c, x0, y0, x1, y1, [&](int x, int y) { return InPolygon(pts, x, y); }, shade, edge);
}

void FillEllipse(Canvas& c, int cx, int cy, int rx, int ry, uint32_t fill, uint32_t edge = kNoEdge);
void FillPolygon(Canvas& c, const std::vector<int>& pts, uint32_t fill, uint32_t edge = kNoEdge);
// A round-ended line of radius r.
void Line(Canvas& c, int ax, int ay, int bx, int by, int r, uint32_t fill, uint32_t edge = kNoEdge);
// A quadratic curve a-ctrl-b as a stroke whose radius goes from r0 to r1.
void Curve(Canvas& c, int ax, int ay, int cx, int cy, int bx, int by, int r0, int r1, uint32_t fill,
           uint32_t edge = kNoEdge);
// Ring between radii r-thick and r.
void Ring(Canvas& c, int cx, int cy, int r, int thick, uint32_t fill);
// A dark rim one pixel wide around every opaque pixel of the canvas.
void Outline(Canvas& c, uint32_t edge);
// Rounds every dithered pixel as if lit from the upper left: lighter near the
// upper-left rim of its part (outlines and clear pixels bound a part), darker
// near the lower-right rim.
void Bevel(Canvas& c, int reach, int amount);
// A small four-pointed twinkle.
void Sparkle(Canvas& c, int x, int y, int arm, Rgb colour);

// ---- text ----------------------------------------------------------------

struct Mask {
    int w = 0, h = 0;
    std::vector<uint8_t> on;
    bool At(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && on[static_cast<size_t>(y * w + x)]; }
};

// The glyphs of a UTF-8 text in the game's 16-dot font, trimmed to their ink.
Mask TextMask(const std::string& utf8);
// Doubles a mask, rounding its diagonals (the classic Scale2x rule).
Mask Scale2x(const Mask& m);
// Grows a mask by r pixels (a round pen).
Mask Dilate(const Mask& m, int r);

}  // namespace art
