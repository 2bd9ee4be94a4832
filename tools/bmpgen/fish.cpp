// The fish: its two swim frames, the wake under the first, and the nine
// mutation overlays drawn over either frame.
#include <algorithm>

#include "tools/bmpgen/pictures.h"

namespace pictures {

using namespace art;

namespace {

const Rgb kInk = {18, 24, 16};

// Vertical offset of the centre line at column x: the tail end sways.
int Sway(int x, int frame) {
    if (x >= kFishStill) return 0;
    const int t = (kFishStill - x) * 256 / (kFishStill - kFishTail);
    return (frame == 1 ? -5 : 5) * t * t / 65536;
}

// Half-height of a body whose thickest point is `peak` at 55% of its length.
int Profile(int x, int root, int peak) {
    if (x < kFishBase || x > kFishSnout) return 0;
    const int s = (x - kFishBase) * 256 / (kFishSnout - kFishBase);
    constexpr int kPeakAt = 140;
    if (s < kPeakAt) return root + (peak - root) * Smooth(s * 256 / kPeakAt) / 256;
    const int t = (s - kPeakAt) * 256 / (256 - kPeakAt);
    return peak * Isqrt(65536 - t * t) / 256;
}

// Fin colour with dark rays: stripes across the direction (dx, dy).
uint32_t FinPixel(int x, int y, Rgb base, int dx, int dy) {
    const int s = x * dx + y * dy;
    const int m = ((s / 8) % 5 + 5) % 5;
    return Px(m == 0 ? Shade(base, 180) : (m == 2 ? Shade(base, 280) : base));
}

// A fin as a polygon of body points (x, offset from the centre line).
void Fin(Canvas& c, std::vector<int> pts, int frame, Rgb colour, int dx, int dy) {
    for (size_t i = 0; i + 1 < pts.size(); i += 2) pts[i + 1] += kFishMidY + Sway(pts[i], frame);
    int x0 = 1000, x1 = -1000, y0 = 1000, y1 = -1000;
    for (size_t i = 0; i + 1 < pts.size(); i += 2) {
        x0 = std::min(x0, pts[i]);
        x1 = std::max(x1, pts[i]);
        y0 = std::min(y0, pts[i + 1]);
        y1 = std::max(y1, pts[i + 1]);
    }
    Shape(
        c, x0, y0, x1, y1, [&](int x, int y) { return InPolygon(pts, x, y); },
        [&](int x, int y) { return FinPixel(x, y, colour, dx, dy); }, Flat(kInk));
}

// Skin colour at body position x, offset v from the centre line.
Rgb BodyColour(int x, int v) {
    const int top = FishTop(x), bottom = FishBottom(x);
    const int n = v < 0 ? v * 256 / std::max(top, 1) : v * 256 / std::max(bottom, 1);  // -256 back .. 256 belly
    Rgb c = Ramp({{30, 44, 22}, {64, 84, 40}, {104, 122, 62}, {150, 150, 98}, {206, 132, 124},
                  {206, 196, 186}, {232, 234, 226}, {236, 236, 228}, {170, 176, 178}},
                 (n + 256) / 2);
    // Light from above: a gloss along the back, shade along the belly.
    const int gloss = std::max(0, 60 - std::abs(n + 120) / 2);
    c = Add(c, gloss / 2, gloss / 2, gloss / 3);
    // Dark spots over the back, fixed to the body so they follow the sway.
    if (n < 10) {
        const int cx = x / 9, cy = (v + 64) / 8;
        const uint32_t h = Hash(static_cast<uint32_t>(cx), static_cast<uint32_t>(cy), 77);
        if ((h & 3) != 0) {
            const int sx = cx * 9 + 2 + static_cast<int>(h >> 4 & 3);
            const int sy = cy * 8 - 64 + 2 + static_cast<int>(h >> 8 & 3);
            const int r = 1 + static_cast<int>(h >> 12 & 1);
            if ((x - sx) * (x - sx) + (v - sy) * (v - sy) <= r * r + 1) c = Shade(c, 110);
        }
    }
    // Scales: a faint lattice over the flank.
    if (((x * 2 + v + 512) % 9 == 0 || (x * 2 - v + 512) % 9 == 0) && n > -200 && n < 230) c = Shade(c, 228);
    return c;
}

void Body(Canvas& c, int frame) {
    auto inside = [&](int x, int y) {
        const int v = y - kFishMidY - Sway(x, frame);
        return x >= kFishBase && x <= kFishSnout && v >= -FishTop(x) && v <= FishBottom(x);
    };
    auto shade = [&](int x, int y) {
        const int v = y - kFishMidY - Sway(x, frame);
        Rgb col = BodyColour(x, v);
        // Gill cover: a curved seam with the red of the gills behind it.
        const int gill = 124 + v * v / 80;
        if (x >= gill - 3 && x < gill && v > -14) col = Mix(col, {190, 70, 70}, 120);
        if (x == gill || x == gill + 1) col = Shade(col, 150);
        if (x > gill + 1) col = Add(col, 8, 8, 6);
        return Px(col);
    };
    Shape(c, kFishBase, 30, kFishSnout, 140, inside, shade, Flat(kInk));
}

void Tail(Canvas& c, int frame) {
    // Seen from the side the swinging fin foreshortens: frame 2 is shorter.
    const int tip = frame == 1 ? kFishTail : kFishTail + 12;
    const int up = frame == 1 ? -38 : -30, down = frame == 1 ? 36 : 40;
    Fin(c, {kFishBase + 3, -FishTop(kFishBase + 3) + 1, tip, up, tip + 16, 0, tip, down, kFishBase + 3,
            FishBottom(kFishBase + 3) - 1},
        frame, {136, 130, 82}, 1, 4);
}

void Head(Canvas& c) {
    // Mouth.
    Line(c, kFishSnout - 1, kFishMidY + 3, kFishSnout - 12, kFishMidY + 6, 0, Flat(kInk));
    Line(c, kFishSnout - 12, kFishMidY + 6, kFishSnout - 15, kFishMidY + 5, 0, Flat(kInk));
    c.Set(kFishSnout - 6, kFishMidY - 4, Flat(kInk));  // nostril
    // Eye: gold iris, black pupil, a glint.
    FillEllipse(c, kFishEyeX, kFishEyeY, 6, 6, Flat({226, 176, 60}), Flat(kInk));
    FillEllipse(c, kFishEyeX + 1, kFishEyeY, 3, 3, Flat({0, 0, 0}));
    c.Set(kFishEyeX - 1, kFishEyeY - 2, Flat({255, 255, 255}));
    c.Set(kFishEyeX, kFishEyeY - 2, Flat({255, 255, 255}));
}

// The body's outline (both frames) as a mask, for the overlays.
bool OnBody(int x, int y) {
    const int v = y - kFishMidY;
    return x >= kFishStill && x <= kFishSnout && v >= -FishTop(x) && v <= FishBottom(x);
}

}  // namespace

int FishTop(int x) { return Profile(x, 9, 30); }
int FishBottom(int x) { return Profile(x, 9, 27); }

Canvas Fish(int frame) {
    Canvas c(kSprite, kSprite);
    const Rgb fin = {150, 138, 88}, warm = {196, 140, 92};
    Tail(c, frame);
    Fin(c, {84, -FishTop(84) + 3, 93, -FishTop(93) - 19, 102, -FishTop(102) - 21, 116, -FishTop(116) + 2}, frame,
        fin, 3, -1);  // dorsal
    Fin(c, {56, -FishTop(56) + 3, 60, -FishTop(60) - 6, 68, -FishTop(68) - 4, 70, -FishTop(70) + 3}, frame, fin, 3,
        -1);  // adipose
    Fin(c, {64, FishBottom(64) - 3, 62, FishBottom(64) + 13, 74, FishBottom(74) + 11, 80, FishBottom(80) - 3},
        frame, warm, 3, 1);  // anal
    Fin(c, {92, FishBottom(92) - 3, 86, FishBottom(92) + 15, 98, FishBottom(98) + 12, 104, FishBottom(104) - 3},
        frame, warm, 3, 1);  // pelvic
    Body(c, frame);
    // Pectoral fin, over the flank; it beats with the tail.
    const int beat = frame == 1 ? 0 : 5;
    Fin(c, {126, 9, 104, 25 - beat, 107, 32 - beat / 2, 128, 17}, frame, warm, 1, -3);
    Head(c);
    return c;
}

Canvas Wake() {
    Canvas c(kSprite, kSprite);
    const uint32_t foam = Px({200, 236, 240}), pale = Px({150, 200, 206});
    // Streaks of churned water trailing from the tail, and loose bubbles.
    Curve(c, 46, kFishMidY - 30, 26, kFishMidY - 42, 0, kFishMidY - 34, 2, 0, foam);
    Curve(c, 30, kFishMidY - 8, 16, kFishMidY - 2, 0, kFishMidY - 10, 2, 0, pale);
    Curve(c, 30, kFishMidY + 10, 14, kFishMidY + 16, 0, kFishMidY + 8, 2, 0, pale);
    Curve(c, 46, kFishMidY + 30, 24, kFishMidY + 44, 0, kFishMidY + 38, 2, 0, foam);
    Curve(c, 90, kFishMidY - 36, 70, kFishMidY - 40, 52, kFishMidY - 38, 1, 0, pale);
    Curve(c, 96, kFishMidY + 34, 76, kFishMidY + 38, 56, kFishMidY + 36, 1, 0, pale);
    const int bubbles[][3] = {{6, kFishMidY - 22, 4}, {18, kFishMidY + 26, 3}, {3, kFishMidY + 2, 2},
                              {24, kFishMidY - 50, 2}, {10, kFishMidY + 50, 3}, {34, kFishMidY + 54, 2}};
    for (const auto& b : bubbles) {
        FillEllipse(c, b[0], b[1], b[2], b[2], Px({120, 180, 190}), Flat({220, 246, 250}));
        c.Set(b[0] - 1, b[1] - 1, Flat({255, 255, 255}));
    }
    return c;
}

namespace {

// Mutation 0, weak: a bandage round the middle, a plaster on the head,
// gloom lines under the eye and sweat.
void Weak(Canvas& c) {
    Shape(
        c, 98, 40, 110, 130, [](int x, int y) { return x >= 99 && x <= 109 && OnBody(x, y); },
        [](int x, int y) {
            Rgb g = ((x + y) % 3 == 0) ? Rgb{214, 206, 188} : Rgb{240, 236, 222};
            if (InEllipse(x, y, 104, kFishMidY + 4, 3, 4)) g = {190, 40, 40};
            return Px(g);
        },
        Flat({120, 110, 96}));
    const uint32_t tape = Px({226, 184, 142}), tapeEdge = Flat({120, 80, 50});
    Line(c, 126, 58, 140, 70, 3, tape, tapeEdge);
    Line(c, 126, 70, 140, 58, 3, tape, tapeEdge);
    for (int i = 0; i < 3; ++i) Line(c, 134 + i * 4, 89, 134 + i * 4, 97 + i, 0, Flat({70, 60, 160}));
    auto drop = [&](int x, int y) {
        FillPolygon(c, {x, y - 7, x - 4, y, x + 4, y}, Px({150, 220, 250}), Flat({40, 80, 140}));
        FillEllipse(c, x, y + 1, 4, 4, Px({150, 220, 250}), Flat({40, 80, 140}));
        c.Set(x - 1, y, Flat({255, 255, 255}));
    };
    drop(160, 52);
    drop(167, 66);
}

// Mutation 1, hearty: the belly turns to gleaming gold scales.
void Hearty(Canvas& c) {
    auto inside = [](int x, int y) {
        const int v = y - kFishMidY;
        return OnBody(x, y) && x >= 78 && x <= 134 && v * 256 > FishBottom(x) * 70;
    };
    auto shade = [](int x, int y) {
        const int cx = (x + ((y / 5) % 2) * 3) % 6, cy = y % 5;
        const int t = cy * 256 / 5 + (cx == 0 || cx == 5 ? 60 : 0);
        return Px(Ramp({{255, 246, 170}, {236, 190, 40}, {150, 100, 10}}, t));
    };
    Shape(c, 76, 80, 136, 120, inside, shade, Flat({96, 60, 0}));
    Sparkle(c, 96, 116, 5, {255, 230, 80});
    Sparkle(c, 124, 104, 4, {255, 230, 80});
    Sparkle(c, 82, 100, 3, {255, 230, 80});
}

// Mutation 2, overflowing stamina: a feathered wing on the back.
void Winged(Canvas& c) {
    const uint32_t edge = Flat({40, 60, 100});
    const int feathers[][4] = {{78, 52, 56, 10}, {86, 52, 70, 4}, {94, 54, 86, 2}, {102, 56, 100, 6}, {110, 58, 112, 14}};
    for (const auto& f : feathers) Curve(c, f[0], f[1], f[0] - 10, (f[1] + f[3]) / 2, f[2], f[3], 6, 4, Px({232, 240, 250}), edge);
    Curve(c, 76, 60, 90, 36, 114, 30, 7, 5, Px({206, 220, 240}), edge);
    for (int i = 0; i < 4; ++i) Line(c, 84 + i * 8, 44 - i * 2, 80 + i * 8, 28 - i * 4, 0, Flat({150, 170, 210}));
}

// Mutation 3, strong: a muscled arm flexing under the body.
void Armed(Canvas& c) {
    const Rgb skin = {236, 168, 150};
    const uint32_t edge = Flat({80, 30, 30});
    auto limb = [&](int ax, int ay, int bx, int by, int r) {
        Shape(
            c, std::min(ax, bx) - r - 2, std::min(ay, by) - r - 2, std::max(ax, bx) + r + 2, std::max(ay, by) + r + 2,
            [&](int x, int y) { return InCapsule(x, y, ax, ay, bx, by, r); },
            [&](int x, int y) {
                const int lit = 256 - std::abs(x - (ax + bx) / 2 + (y - (ay + by) / 2)) * 4;
                return Px(Shade(skin, 200 + std::max(0, lit) / 4));
            },
            edge);
    };
    limb(118, 108, 108, 150, 8);  // upper arm
    FillEllipse(c, 104, 128, 8, 12, Px({246, 186, 166}), edge);  // biceps
    limb(108, 150, 138, 138, 7);  // forearm
    FillEllipse(c, 142, 134, 8, 9, Px(skin), edge);  // fist
    for (int i = 0; i < 3; ++i) Line(c, 144 + i * 2, 128 + i * 3, 148 + i * 2, 128 + i * 3, 0, edge);
    Line(c, 100, 126, 104, 122, 0, Flat({255, 230, 220}));
}

// Mutation 4, mighty: a drill horn on the brow and spikes along the back.
void Horned(Canvas& c) {
    const std::vector<int> horn = {136, 66, 150, 62, 168, 22};
    Shape(
        c, 134, 20, 169, 68, [&](int x, int y) { return InPolygon(horn, x, y); },
        [](int x, int y) {
            const int band = ((x + y * 2) / 4) % 3;
            return Px(band == 0 ? Rgb{150, 100, 40} : (band == 1 ? Rgb{244, 226, 170} : Rgb{214, 180, 110}));
        },
        Flat({70, 40, 10}));
    for (int i = 0; i < 3; ++i) {
        const int x = 118 + i * 7;
        FillPolygon(c, {x - 4, kFishMidY - FishTop(x) + 3, x + 3, kFishMidY - FishTop(x) - 12, x + 4, kFishMidY - FishTop(x) + 3},
                    Px({180, 40, 30}), Flat({60, 10, 10}));
    }
}

// Mutation 5, no strength: ribs showing through a wasted flank, drooping lid.
void Wasted(Canvas& c) {
    const uint32_t bone = Px({238, 232, 214}), shadow = Flat({110, 100, 110});
    Line(c, 76, kFishMidY - 10, 98, kFishMidY - 12, 1, bone, shadow);
    for (int i = 0; i < 5; ++i) {
        const int x = 80 + i * 5;
        Curve(c, x, kFishMidY - 10, x - 5, kFishMidY, x - 2, kFishMidY + 12, 1, 0, bone);
    }
    Shape(
        c, kFishEyeX - 7, kFishEyeY - 7, kFishEyeX + 7, kFishEyeY + 1,
        [](int x, int y) { return InEllipse(x, y, kFishEyeX, kFishEyeY, 7, 7) && y <= kFishEyeY; },
        [](int, int) { return Px({96, 112, 70}); }, Flat({18, 24, 16}));
    Line(c, kFishEyeX - 6, kFishEyeY + 8, kFishEyeX + 4, kFishEyeY + 9, 0, Flat({90, 60, 120}));
}

// Mutation 6, clean water: a halo and glitter.
void Blessed(Canvas& c) {
    Shape(
        c, 108, 18, 150, 36,
        [](int x, int y) { return InEllipse(x, y, 129, 27, 20, 7) && !InEllipse(x, y, 129, 27, 15, 4); },
        [](int, int y) { return Px(y < 26 ? Rgb{255, 250, 190} : Rgb{240, 200, 40}); }, Flat({150, 110, 0}));
    Sparkle(c, 106, 14, 5, {170, 230, 255});
    Sparkle(c, 154, 18, 4, {170, 230, 255});
    Sparkle(c, 160, 44, 3, {170, 230, 255});
    Sparkle(c, 96, 36, 3, {170, 230, 255});
}

// Mutation 7, dirty water: boils and sores.
void Sores(Canvas& c) {
    const int sores[][3] = {{82, 96, 4}, {94, 104, 3}, {118, 92, 5}, {130, 100, 3}, {110, 72, 3}, {88, 78, 3}};
    for (const auto& s : sores) {
        Shape(
            c, s[0] - s[2], s[1] - s[2], s[0] + s[2], s[1] + s[2],
            [&](int x, int y) { return InEllipse(x, y, s[0], s[1], s[2], s[2]); },
            [&](int x, int y) {
                const int d = (x - s[0] + 1) * (x - s[0] + 1) + (y - s[1] + 1) * (y - s[1] + 1);
                return Px(d <= 1 ? Rgb{230, 250, 140} : (d < s[2] * s[2] / 2 ? Rgb{150, 190, 40} : Rgb{150, 60, 150}));
            },
            Flat({60, 10, 60}));
    }
    Curve(c, 118, 97, 119, 110, 117, 118, 1, 2, Px({150, 200, 40}), Flat({40, 70, 10}));
}

// Mutation 8, poisoned: a third eye and feelers from the chin.
void ThirdEye(Canvas& c) {
    const uint32_t edge = Flat({40, 0, 40});
    Curve(c, 146, 98, 150, 120, 140, 136, 3, 1, Px({170, 70, 190}), edge);
    Curve(c, 152, 96, 162, 116, 158, 134, 3, 1, Px({190, 90, 210}), edge);
    FillEllipse(c, 128, 67, 9, 6, Flat({250, 240, 220}), edge);
    FillEllipse(c, 128, 67, 4, 5, Flat({220, 30, 20}));
    FillEllipse(c, 128, 67, 1, 3, Flat({0, 0, 0}));
    c.Set(126, 64, Flat({255, 255, 255}));
}

}  // namespace

Canvas Mutation(int i) {
    Canvas c(kSprite, kSprite);
    switch (i) {
        case 0: Weak(c); break;
        case 1: Hearty(c); break;
        case 2: Winged(c); break;
        case 3: Armed(c); break;
        case 4: Horned(c); break;
        case 5: Wasted(c); break;
        case 6: Blessed(c); break;
        case 7: Sores(c); break;
        default: ThirdEye(c); break;
    }
    return c;
}

}  // namespace pictures
