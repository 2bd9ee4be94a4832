// The things that drift down the river, from food to poison, and the bubble strip.
#include <algorithm>
#include <cstdlib>

#include "tools/bmpgen/pictures.h"

namespace pictures {

using namespace art;

namespace {

constexpr int kBig = 113;
const uint32_t kDark = Flat({16, 14, 12});

// Coordinates along (u) and across (v) an axis through (cx, cy) at angle a.
struct Axis {
    int cx, cy, a;
    void Local(int x, int y, int* u, int* v) const {
        const int dx = x - cx, dy = y - cy;
        *u = (dx * Cos(a) + dy * Sin(a)) / kOne;
        *v = (-dx * Sin(a) + dy * Cos(a)) / kOne;
    }
    int X(int u, int v) const { return cx + (u * Cos(a) - v * Sin(a)) / kOne; }
    int Y(int u, int v) const { return cy + (u * Sin(a) + v * Cos(a)) / kOne; }
};

// Shape() over the whole big canvas in the axis's own coordinates:
// inside(u, v), and shade(x, y, u, v) with x, y for the noise textures.
template <class Inside, class ShadeFn>
void AxisShape(Canvas& c, const Axis& ax, Inside inside, ShadeFn shade, uint32_t edge) {
    Shape(
        c, 0, 0, kBig - 1, kBig - 1,
        [&](int x, int y) {
            int u, v;
            ax.Local(x, y, &u, &v);
            return inside(u, v);
        },
        [&](int x, int y) {
            int u, v;
            ax.Local(x, y, &u, &v);
            return shade(x, y, u, v);
        },
        edge);
}

// Shading across a cylinder of radius r at offset v: lit from above.
Rgb Round(Rgb c, int v, int r) {
    const int t = (v + r) * 256 / (2 * r);
    return Shade(c, Ramp({{150, 150, 150}, {300, 300, 300}, {250, 250, 250}, {190, 190, 190}, {110, 110, 110}}, t).r);
}

// Slot 0: a fat earthworm, the best of food.
Canvas Worm() {
    Canvas c(38, 38);
    Curve(c, 5, 28, 10, 4, 19, 18, 4, 4, Px({214, 112, 120}), Flat({90, 30, 40}));
    Curve(c, 19, 18, 28, 32, 33, 9, 4, 3, Px({214, 112, 120}), Flat({90, 30, 40}));
    // Rings along the body and the pale saddle.
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const uint32_t p = c.Get(x, y);
            if (p == kClear || (p & kFlat)) continue;
            if ((x + y) % 4 == 0) c.Set(x, y, Px({170, 76, 90}));
            if (x >= 15 && x <= 22 && y >= 14 && y <= 24) c.Set(x, y, Px({240, 170, 160}));
        }
    Bevel(c, 3, 70);
    c.Set(4, 27, Flat({255, 230, 230}));
    return c;
}

// Slot 1: a grasshopper that fell in.
Canvas Grasshopper() {
    Canvas c(60, 60);
    const uint32_t edge = Flat({14, 40, 10});
    Curve(c, 22, 40, 30, 22, 44, 24, 1, 1, Px({60, 120, 40}), edge);  // antenna
    Line(c, 30, 34, 14, 20, 4, Px({110, 170, 60}), edge);             // thigh
    Line(c, 14, 20, 6, 44, 2, Px({90, 150, 50}), edge);               // shin
    FillEllipse(c, 28, 36, 19, 8, Px({120, 190, 70}), edge);          // body
    Shape(
        c, 12, 26, 40, 36, [](int x, int y) { return InEllipse(x, y, 26, 31, 14, 5); },
        [](int, int) {
            return Px({80, 130, 40});
        },
        edge);                                               // wing
    FillEllipse(c, 47, 36, 8, 8, Px({130, 200, 80}), edge);  // head
    FillEllipse(c, 50, 33, 3, 3, Flat({0, 0, 0}));
    c.Set(49, 32, Flat({255, 255, 255}));
    Line(c, 40, 42, 44, 52, 1, Px({90, 150, 50}), edge);  // legs
    Line(c, 32, 42, 30, 53, 1, Px({90, 150, 50}), edge);
    Curve(c, 50, 30, 50, 14, 58, 8, 1, 0, Px({60, 120, 40}));
    Bevel(c, 4, 60);
    return c;
}

// Slot 2: a plastic bottle, cloudy with grime.
Canvas Bottle() {
    Canvas c(kBig, kBig);
    const Axis ax{56, 56, -kTurn / 10};
    auto radius = [](int u) {
        if (u < -44 || u > 46) return 0;
        if (u > 40) return 9;                         // cap
        if (u > 30) return 7;                         // neck
        if (u > 16) return 7 + (30 - u) * 10 / 14;    // shoulder
        return 17 + (std::abs(u % 12) < 2 ? -2 : 0);  // ribbed, dented
    };
    auto inside = [&](int u, int v) { return std::abs(v) <= radius(u); };
    auto shade = [&](int x, int y, int u, int v) {
        const int r = std::max(radius(u), 1);
        Rgb col = {176, 214, 216};
        if (u > 40) col = {40, 90, 200};
        else if (u > -22 && u < 2) col = (v / 5) % 2 ? Rgb{230, 60, 50} : Rgb{240, 236, 226};
        else if (Noise(x, y, 10, 0, 4) > 170) col = {120, 120, 80};  // grime
        return Px(Round(col, v, r));
    };
    AxisShape(c, ax, inside, shade, Flat({30, 50, 60}));
    // A dribble of dirty water from the neck.
    for (int i = 0; i < 4; ++i)
        FillEllipse(c, ax.X(48, 0) - 2 + i * 3, ax.Y(48, 0) + 6 + i * 8, 2, 3, Px({120, 110, 70}), Flat({50, 40, 20}));
    return c;
}

// Slot 3: a crushed, rusting can leaking its dregs.
Canvas Can() {
    Canvas c(kBig, kBig);
    const Axis ax{54, 50, kTurn / 14};
    auto radius = [](int u) {
        if (u < -36 || u > 36) return 0;
        const int crush = std::max(0, 12 - std::abs(u + 4));  // pinched in the middle
        return 24 - crush + ((u / 3) % 2 ? 0 : crush / 3);
    };
    auto inside = [&](int u, int v) { return std::abs(v) <= radius(u); };
    auto shade = [&](int x, int y, int u, int v) {
        Rgb col = std::abs(u) > 31 ? Rgb{200, 204, 210} : Rgb{200, 30, 30};
        if (std::abs(u) <= 31 && v > -6 && v < 4) col = {240, 240, 236};       // the label's stripe
        if (Fbm(x, y, 16, 2, 0, 8) > 150) col = Mix(col, {130, 70, 30}, 210);  // rust
        return Px(Round(col, v, std::max(radius(u), 1)));
    };
    AxisShape(c, ax, inside, shade, Flat({40, 10, 10}));
    // The open end and its ring pull.
    const int ex = ax.X(36, 0), ey = ax.Y(36, 0);
    FillEllipse(c, ex, ey, 7, 22, Px({170, 176, 184}), Flat({50, 50, 56}));
    FillEllipse(c, ex + 1, ey - 8, 3, 5, Px({30, 20, 14}));
    Ring(c, ex - 2, ey + 6, 5, 2, Px({200, 206, 214}));
    // Brown dregs pouring out and sinking.
    Curve(c, ex + 1, ey - 8, ex + 16, ey, ex + 12, ey + 28, 3, 2, Px({110, 70, 30}), Flat({50, 30, 10}));
    for (int i = 0; i < 4; ++i)
        FillEllipse(c, ex + 8 + i * 2, ey + 36 + i * 10, 3 - i / 2, 3, Px({110, 70, 30}), Flat({50, 30, 10}));
    return c;
}

// Slot 4: an oil drum on its side, bleeding oil.
Canvas Drum() {
    Canvas c(kBig, kBig);
    const Axis ax{50, 46, -kTurn / 24};
    auto inside = [](int u, int v) { return std::abs(u) <= 38 && std::abs(v) <= 30; };
    auto shade = [](int x, int y, int u, int v) {
        Rgb col = {50, 80, 130};
        if (std::abs(std::abs(u) - 14) < 3) col = {70, 100, 150};  // hoops
        if (Fbm(x, y, 12, 3, 0, 12) > 150) col = Mix(col, {120, 60, 24}, 200);
        return Px(Round(col, v, 30));
    };
    AxisShape(c, ax, inside, shade, kDark);
    const int ex = ax.X(38, 0), ey = ax.Y(38, 0);
    FillEllipse(c, ex, ey, 9, 30, Px({90, 110, 150}), kDark);
    FillEllipse(c, ex + 1, ey, 5, 24, Px({70, 90, 130}), Flat({30, 40, 70}));
    FillEllipse(c, ex + 2, ey - 14, 3, 4, Flat({0, 0, 0}));  // the open bung
    // Oil gushing from the bung and spreading in a black cloud below.
    Curve(c, ex + 2, ey - 14, ex + 22, ey - 8, ex + 16, ey + 34, 4, 7, Px({20, 16, 22}), Flat({0, 0, 0}));
    Shape(
        c, 10, 64, kBig - 2, kBig - 2,
        [&](int x, int y) {
            const int d = ((x - 66) * (x - 66) * 256 / (46 * 46) + (y - 92) * (y - 92) * 256 / (18 * 18));
            return d + (128 - Fbm(x, y, 12, 2, 0, 44)) * 2 < 256;
        },
        [](int x, int y) {
            if (Fbm(x, y, 6, 2, 0, 45) > 196)
                return Px(Ramp({{150, 70, 180}, {50, 160, 150}, {210, 200, 70}}, (x * 7 + y * 3) % 256));
            return Px({24, 20, 28});
        },
        Flat({0, 0, 0}));
    return c;
}

// Slot 5: a drum of toxic waste, oozing and glowing: the worst of all.
Canvas Toxic() {
    Canvas c(kBig, kBig);
    // A dithered glow round the drum (every other pixel, so the river shows).
    for (int y = 2; y < kBig - 2; ++y)
        for (int x = 2; x < kBig - 2; ++x)
            if ((x + y) % 2 && InEllipse(x, y, 56, 58, 54, 54)) c.Set(x, y, Flat({120, 220, 40}));
    constexpr int l = 28, r = 84, top = 20, bottom = 100;
    auto inside = [&](int x, int y) {
        return x >= l && x <= r && y >= top && y <= bottom && !(y > bottom - 4 && (x < l + 3 || x > r - 3));
    };
    auto shade = [&](int x, int y) {
        Rgb col = {230, 190, 20};
        if ((y > 28 && y < 38) || (y > 84 && y < 94)) col = ((x + y) / 6) % 2 ? Rgb{20, 20, 20} : Rgb{240, 200, 30};
        if (std::abs(y - 60) < 2) col = {170, 130, 10};
        return Px(Round(col, x - (l + r) / 2, (r - l) / 2));
    };
    Shape(c, l, top, r, bottom, inside, shade, kDark);
    FillEllipse(c, (l + r) / 2, top, (r - l) / 2, 7, Px({150, 120, 20}), kDark);
    // The trefoil of radiation.
    constexpr int tx = 56, ty = 62;
    Shape(
        c, tx - 16, ty - 16, tx + 16, ty + 16,
        [&](int x, int y) {
            if (!InEllipse(x, y, tx, ty, 15, 15)) return false;
            if (InEllipse(x, y, tx, ty, 3, 3)) return true;
            if (InEllipse(x, y, tx, ty, 5, 5)) return false;
            return (Atan2(y - ty, x - tx) + kTurn / 4) % (kTurn / 3) < kTurn / 6;
        },
        [](int, int) {
            return Flat({10, 10, 10});
        });
    // Green ooze spilling over the rim and down the sides.
    const uint32_t ooze = Px({90, 200, 30}), oozeEdge = Flat({10, 50, 0});
    FillEllipse(c, 56, 20, 26, 6, ooze, oozeEdge);
    const int drips[][3] = {{34, 44, 3}, {46, 30, 2}, {70, 52, 3}, {80, 36, 2}};
    for (const auto& d : drips) {
        Line(c, d[0], 22, d[0], d[1], d[2], ooze, oozeEdge);
        FillEllipse(c, d[0], d[1] + 2, d[2] + 1, d[2] + 2, ooze, oozeEdge);
    }
    FillEllipse(c, 56, 103, 34, 7, ooze, oozeEdge);
    Bevel(c, 3, 50);
    for (int i = 0; i < 5; ++i) Sparkle(c, 30 + i * 13, 100 + (i % 2) * 4, 1, {200, 255, 120});
    // Fumes rising.
    Ring(c, 40, 9, 4, 1, Px({150, 230, 80}));
    Ring(c, 66, 6, 5, 1, Px({150, 230, 80}));
    return c;
}

}  // namespace

Canvas Drift(int slot) {
    switch (slot) {
        case 0: return Worm();         // syougai1
        case 1: return Grasshopper();  // syougai0
        case 2: return Bottle();       // syougai2
        case 3: return Can();          // syougai4
        case 4: return Drum();         // syougai5
        default: return Toxic();       // syougai3
    }
}

Canvas Bubbles() {
    Canvas c(7 * 16, 16);
    // Frame 6 is the resting bubble; frames 5..0 swell and wobble, so the run
    // reads as a bubble breathing whichever way it is played.
    const int size[7][2] = {{7, 7}, {6, 7}, {7, 6}, {6, 5}, {5, 6}, {5, 4}, {4, 4}};
    for (int f = 0; f < 7; ++f) {
        const int cx = 16 * f + 8, cy = 8, rx = size[f][0], ry = size[f][1];
        Shape(
            c, cx - rx, cy - ry, cx + rx, cy + ry, [&](int x, int y) { return InEllipse(x, y, cx, cy, rx, ry); },
            [&](int x, int y) {
                const int d = (x - cx + 2) * (x - cx + 2) + (y - cy + 2) * (y - cy + 2);
                return Px(Mix({200, 240, 250}, {70, 140, 170}, d * 256 / (rx * ry * 2)));
            },
            Flat({214, 246, 255}));
        c.Set(cx - rx / 2, cy - ry / 2, Flat({255, 255, 255}));
        c.Set(cx - rx / 2 + 1, cy - ry / 2, Flat({255, 255, 255}));
        c.Set(cx + rx / 2 - 1, cy + ry / 2 - 1, Flat({170, 230, 255}));
    }
    return c;
}

}  // namespace pictures
