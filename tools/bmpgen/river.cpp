// The full-screen pictures: the polluted river (which tiles horizontally,
// since it scrolls and wraps), the mutation flash and the hit flash.
#include <algorithm>
#include <cstdlib>

#include "tools/bmpgen/pictures.h"

namespace pictures {

using namespace art;

namespace {

constexpr int kW = kScreenW;
constexpr int kCells = 5;  // 128-pixel noise cells across the screen, so the noise tiles

// Height of the water's surface seen from below, at column x.
int SurfaceY(int x) { return 12 + 3 * Sin(x * kTurn * 4 / kW) / kOne + 2 * Sin(x * kTurn * 11 / kW + 900) / kOne; }

// Top of the river bed at column x.
int BedY(int x) { return 410 + Fbm(x, 0, 64, 3, kW / 64, 31) * 40 / 256; }

// Top of the hazy far bank at column x.
int FarY(int x) { return 300 + Fbm(x, 7, 128, 3, kCells, 17) * 110 / 256; }

Rgb WaterAt(int x, int y) {
    Rgb c = Ramp({{124, 150, 108}, {80, 114, 86}, {48, 84, 72}, {26, 56, 56}, {12, 30, 34}}, y * 256 / kScreenH);
    // Clouds of murk drifting in the water.
    const int murk = Fbm(x, y, 128, 3, kCells, 5) - 128;
    c = Mix(c, {84, 86, 56}, std::max(0, murk) * 5 / 4);
    c = Shade(c, 256 + murk / 5);
    // Slanting shafts of light from the surface, fading with depth.
    if (y < 340) {
        int ray = 0;
        const int along = x * 5 + y * 2;  // shafts lean to the left going down
        ray += std::max(0, Sin(along * kTurn * 3 / (5 * kW)) - 2600);
        ray += std::max(0, Sin(along * kTurn * 7 / (5 * kW) + 1300) - 3000);
        ray = ray * (340 - y) / 340 * Noise(along / 5, 0, 32, kW / 32, 9) / 256;
        c = Add(c, ray * 50 / 1500, ray * 56 / 1500, ray * 40 / 1500);
    }
    return c;
}

void PaintWater(Canvas& c) {
    for (int y = 0; y < kScreenH; ++y) {
        for (int x = 0; x < kW; ++x) {
            Rgb col = WaterAt(x, y);
            const int s = SurfaceY(x);
            if (y < s) {
                // The underside of the surface, with a sheen of oil on it.
                col = Add(WaterAt(x, 0), 40, 40, 30);
                const int oil = Noise(x, 0, 80, kW / 80, 3);
                if (oil > 150) {
                    const int hue = (x * 3 + y * 16 + oil * 2) % 256;
                    col = Mix(col, Ramp({{170, 90, 190}, {70, 170, 150}, {210, 200, 80}, {170, 90, 190}}, hue), 150);
                }
            } else if (y <= s + 1) {
                col = {210, 236, 214};
            } else if (y < s + 40 && (Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 41) & 63) == 0) {
                col = Add(col, 50, 56, 44);  // glints just under the surface
            }
            c.Set(x, y, Px(col));
        }
    }
}

// The far bank: hazy hills and weed shadows, lighter than what is near.
void PaintFar(Canvas& c) {
    for (int x = 0; x < kW; ++x)
        for (int y = FarY(x); y < kScreenH; ++y) {
            const Rgb water = WaterAt(x, y);
            const int tex = Fbm(x, y, 16, 2, kW / 16, 23);
            c.Set(x, y, Px(Mix(water, Shade({22, 52, 56}, 200 + tex / 4), 120)));
        }
    Rng rng{0xBEEF};
    for (int i = 0; i < 24; ++i) {
        const int x = rng.Range(0, kW - 1), h = rng.Range(40, 120), lean = rng.Range(-20, 20);
        const int base = FarY(x) + 6;
        Curve(c, x, base, x + lean, base - h / 2, x + lean / 2, base - h, 2, 1,
              Px(Mix(WaterAt(x, base - h / 2), {20, 48, 40}, 110)));
    }
}

// A drain pipe lying on the bed, pouring a brown plume that drifts up.
void PaintPipe(Canvas& c) {
    const int mx = 452, my = BedY(480) - 12;
    for (int y = 60; y < my + 12; ++y) {
        const int up = my - y;  // height above the mouth
        const int centre = mx - 14 - up * 3 / 5 - 12 * Sin(up * 24) / kOne;
        const int spread = 10 + up * 2 / 5;
        for (int x = centre - spread; x <= centre + spread; ++x) {
            const int dx = (x - centre) * 256 / spread;
            const int body = 256 - dx * dx / 256;  // thickest on the centre line
            const int n = Fbm(x + up, y, 32, 3, kW / 32, 61);
            const int fade = std::max(0, 256 - up * 256 / 340);
            const int a = Clamp((body * n / 256 - 40) * fade / 256 * 2, 0, 210);
            if (a > 0) c.Set(x, y, Px(Mix(ToRgb(c.Get(x, y)), {118, 98, 46}, a)));
        }
    }
    Shape(
        c, mx, my - 16, mx + 90, my + 16,
        [&](int x, int y) { return x >= mx + 6 && InEllipse(x, y, mx + 50, my, 50, 14); },
        [&](int x, int y) {
            const int v = y - my;
            Rgb col = Ramp({{150, 150, 136}, {110, 108, 96}, {60, 58, 52}}, (v + 14) * 256 / 28);
            if ((Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 5) & 7) == 0) col = Shade(col, 210);
            if (x > mx + 40 && Noise(x, y, 6, kW / 6, 2) > 180) col = Mix(col, {150, 80, 30}, 170);  // rust
            return Px(col);
        },
        Flat({20, 20, 18}));
    FillEllipse(c, mx + 6, my, 6, 14, Px({150, 148, 134}), Flat({20, 20, 18}));
    FillEllipse(c, mx + 6, my, 3, 10, Px({24, 20, 14}));
    Curve(c, mx + 4, my + 12, mx - 8, my + 16, mx - 30, my + 18, 3, 1, Px({60, 50, 30}));  // sludge spilt below
}

// A dead branch sunk into the mud, leaning up out of it.
void PaintBranch(Canvas& c) {
    const uint32_t wood = Px({70, 52, 34}), edge = Flat({20, 14, 8});
    const int bx = 540, by = BedY(540) + 10;
    Curve(c, bx, by, bx + 30, by - 50, bx + 90, by - 80, 6, 3, wood, edge);
    Curve(c, bx + 40, by - 58, bx + 40, by - 90, bx + 24, by - 120, 3, 1, wood, edge);
    Curve(c, bx + 66, by - 70, bx + 90, by - 100, bx + 120, by - 104, 2, 1, wood, edge);
    // A plastic bag snagged on it, waving.
    FillPolygon(c,
                {bx + 86, by - 84, bx + 104, by - 90, bx + 126, by - 80, bx + 120, by - 70, bx + 108, by - 74, bx + 96,
                 by - 66},
                Px({200, 204, 196}), Flat({90, 96, 90}));
}

void PaintWeeds(Canvas& c, uint32_t seed, int count, int minH, int maxH) {
    Rng rng{seed};
    for (int i = 0; i < count; ++i) {
        const int x = rng.Range(0, kW - 1);
        const int blades = rng.Range(3, 6);
        for (int b = 0; b < blades; ++b) {
            const int bx = x + rng.Range(-10, 10), h = rng.Range(minH, maxH), sway = rng.Range(-40, 40);
            const int base = BedY(bx) + 8;
            const Rgb col = Ramp({{40, 70, 24}, {76, 112, 40}, {120, 146, 62}}, rng.Range(0, 256));
            Curve(c, bx, base, bx + sway, base - h * 2 / 3, bx + sway / 3, base - h, 3, 1, Px(col), Flat({16, 30, 12}));
        }
    }
}

void PaintBed(Canvas& c) {
    for (int x = 0; x < kW; ++x) {
        const int top = BedY(x);
        for (int y = top; y < kScreenH; ++y) {
            const int d = y - top;
            Rgb col = Ramp({{120, 110, 78}, {86, 72, 48}, {52, 42, 28}, {34, 28, 18}}, d * 256 / 70);
            const int tex = Fbm(x, y, 8, 2, kW / 8, 13);
            col = Shade(col, 200 + tex / 3);
            if ((Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 91) & 31) == 0) col = Add(col, 40, 36, 24);
            c.Set(x, y, d == 0 ? Px(Add(col, 30, 30, 20)) : Px(col));
        }
    }
}

void PaintRocks(Canvas& c) {
    Rng rng{0x5EED};
    for (int i = 0; i < 26; ++i) {
        const int x = rng.Range(0, kW - 1), rx = rng.Range(5, 26), ry = rx * rng.Range(50, 80) / 100;
        const int y = BedY(x) + rng.Range(0, 40) + ry / 3;
        const Rgb tone = Ramp({{112, 108, 96}, {96, 90, 70}, {86, 96, 90}}, rng.Range(0, 256));
        Shape(
            c, x - rx, y - ry, x + rx, y + ry, [&](int px, int py) { return InEllipse(px, py, x, y, rx, ry); },
            [&](int px, int py) {
                const int lit = ((x - px) * 128 / rx + (y - py) * 128 / ry);  // light from the upper left
                return Px(Shade(tone, 230 + lit / 3));
            },
            Flat({22, 20, 16}));
    }
}

// Rubbish settled on the bottom: a tyre, a bottle, a can.
void PaintRubbish(Canvas& c) {
    const int tx = 120, ty = BedY(120) + 14;
    Shape(
        c, tx - 34, ty - 30, tx + 34, ty + 30,
        [&](int x, int y) { return InEllipse(x, y, tx, ty, 32, 28) && !InEllipse(x, y, tx, ty, 16, 14); },
        [&](int x, int y) {
            const int tread = (Atan2(y - ty, x - tx) / 128) % 2;
            return Px(tread ? Rgb{46, 46, 50} : Rgb{30, 30, 34});
        },
        Flat({8, 8, 10}));
    const int bx = 270, by = BedY(270) + 4;
    FillPolygon(c,
                {bx - 22, by - 6, bx + 8, by - 9, bx + 20, by - 5, bx + 30, by - 5, bx + 30, by + 1, bx + 20, by + 1,
                 bx + 8, by + 5, bx - 22, by + 6},
                Px({60, 120, 70}), Flat({14, 40, 20}));
    Line(c, bx - 18, by - 3, bx + 4, by - 5, 0, Px({150, 210, 160}));
    const int cx = 600, cy = BedY(600) + 6;
    FillPolygon(c, {cx - 16, cy - 7, cx + 14, cy - 9, cx + 16, cy + 5, cx - 14, cy + 7}, Px({180, 40, 36}),
                Flat({40, 10, 10}));
    Line(c, cx - 12, cy - 2, cx + 10, cy - 3, 1, Px({220, 220, 210}));
}

void PaintSpecks(Canvas& c) {
    Rng rng{0xF00D};
    // Silt and scum hanging in the water; here and there a scrap of plastic.
    for (int i = 0; i < 700; ++i) {
        const int x = rng.Range(0, kW - 1), y = rng.Range(20, 440);
        const Rgb base = ToRgb(c.Get(x, y));
        const int kind = rng.Range(0, 9);
        Rgb col = kind < 4 ? Add(base, 30, 30, 16) : (kind < 8 ? Mix(base, {70, 58, 30}, 150) : Rgb{0, 0, 0});
        if (kind == 8) col = {200, 196, 180};
        if (kind == 9) col = {170, 60, 50};
        c.Set(x, y, Px(col));
        if (kind >= 8 || rng.Range(0, 3) == 0) c.Set(x + 1, y, Px(col));
        if (kind >= 8) c.Set(x, y + 1, Px(Shade(col, 200)));
    }
    // Dirty foam clinging under the surface.
    for (int i = 0; i < 14; ++i) {
        const int x = rng.Range(0, kW - 1), r = rng.Range(4, 12);
        for (int k = 0; k < 3; ++k) {
            const int fx = x + rng.Range(-r, r), fr = r * rng.Range(50, 100) / 100;
            FillEllipse(c, fx, SurfaceY(fx) + 1, fr, fr / 2 + 1, Px({198, 194, 150}), Flat({120, 120, 84}));
        }
    }
    // A few strings of small bubbles rising from the mud.
    for (int k = 0; k < 3; ++k) {
        int x = rng.Range(0, kW - 1);
        for (int y = BedY(x) - 10; y > 60; y -= rng.Range(18, 46)) {
            x += rng.Range(-4, 4);
            const int r = rng.Range(1, 3);
            Ring(c, x, y, r, 1, Px(Add(ToRgb(c.Get(x, y)), 60, 66, 56)));
        }
    }
}

}  // namespace

Canvas River() {
    Canvas c(kW, kScreenH);
    c.wrapX = true;
    PaintWater(c);
    PaintFar(c);
    PaintWeeds(c, 0xA11CE, 9, 80, 200);
    PaintPipe(c);
    PaintBed(c);
    PaintBranch(c);
    PaintRocks(c);
    PaintRubbish(c);
    PaintWeeds(c, 0xB0B, 5, 40, 110);
    PaintSpecks(c);
    return c;
}

Canvas MutationFlash() {
    Canvas c(kScreenW, kScreenH);
    constexpr int cx = kScreenW / 2, cy = kScreenH / 2;
    for (int y = 0; y < kScreenH; ++y) {
        for (int x = 0; x < kScreenW; ++x) {
            const int d = Isqrt(int64_t{(x - cx) * (x - cx) + (y - cy) * (y - cy)});
            // A spiral of light and dark arms turning out from the centre.
            const int arm = (Atan2(y - cy, x - cx) * 12 + d * 24) % kTurn;
            const int bright = Sin(arm) > 0 ? 40 : -30;
            const Rgb col =
                Ramp({{255, 250, 255}, {250, 150, 250}, {200, 60, 220}, {110, 20, 150}, {40, 0, 70}}, d * 256 / 400);
            c.Set(x, y, Px(Add(col, bright, bright / 2, bright)));
        }
    }
    // A double helix across the screen: the fish's blood line changing.
    for (int x = -10; x < kScreenW + 10; x += 2) {
        const int a = x * kTurn / 320;
        const int y1 = cy + 70 * Sin(a) / kOne, y2 = cy - 70 * Sin(a) / kOne;
        if (x % 20 == 0)
            Line(c, x, y1, x, y2, 2, Px(x % 40 ? Rgb{120, 240, 255} : Rgb{255, 240, 90}), Flat({60, 0, 80}));
    }
    for (int x = -10; x < kScreenW + 10; x += 2) {
        const int a0 = x * kTurn / 320, a1 = (x + 2) * kTurn / 320;
        Line(c, x, cy + 70 * Sin(a0) / kOne, x + 2, cy + 70 * Sin(a1) / kOne, 5, Flat({255, 255, 255}));
        Line(c, x, cy - 70 * Sin(a0) / kOne, x + 2, cy - 70 * Sin(a1) / kOne, 5, Flat({255, 230, 60}));
    }
    return c;
}

Canvas HitFlash() {
    Canvas c(kScreenW, kScreenH);
    constexpr int cx = kScreenW / 2, cy = kScreenH / 2;
    for (int y = 0; y < kScreenH; ++y) {
        for (int x = 0; x < kScreenW; ++x) {
            const int d = Isqrt(int64_t{(x - cx) * (x - cx) + (y - cy) * (y - cy)});
            Rgb col = Ramp({{255, 170, 50}, {230, 60, 20}, {140, 10, 10}, {60, 0, 0}}, d * 256 / 420);
            // Speed lines rushing in to the point of impact.
            const uint32_t ray = Hash(static_cast<uint32_t>(Atan2(y - cy, x - cx) / 24), 0, 7);
            if ((ray & 3) == 0 && d > 120 + static_cast<int>(ray >> 8 & 63)) col = Shade(col, 150);
            c.Set(x, y, Px(col));
        }
    }
    // A jagged burst: white-hot in the middle.
    for (int layer = 0; layer < 3; ++layer) {
        std::vector<int> pts;
        Rng rng{static_cast<uint32_t>(99 + layer)};
        const int outer = 250 - layer * 70, inner = 130 - layer * 40;
        for (int i = 0; i < 28; ++i) {
            const int a = i * kTurn / 28 + layer * 40;
            const int r = (i % 2 ? inner : outer) + rng.Range(-18, 18);
            pts.push_back(cx + r * Cos(a) / kOne);
            pts.push_back(cy + r * Sin(a) * 3 / (4 * kOne));
        }
        const Rgb fill = layer == 0 ? Rgb{255, 140, 30} : (layer == 1 ? Rgb{255, 230, 90} : Rgb{255, 255, 240});
        FillPolygon(c, pts, Px(fill), layer == 0 ? Flat({90, 0, 0}) : kNoEdge);
    }
    return c;
}

}  // namespace pictures
