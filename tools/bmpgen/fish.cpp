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
    ShapePolygon(
        c, pts, [&](int x, int y) { return FinPixel(x, y, colour, dx, dy); }, Flat(kInk));
}

// Skin colour at body position x, offset v from the centre line.
Rgb BodyColour(int x, int v) {
    const int top = FishTop(x), bottom = FishBottom(x);
    const int n = v < 0 ? v * 256 / std::max(top, 1) : v * 256 / std::max(bottom, 1);  // -256 back .. 256 belly
    Rgb c = Ramp({{30, 44, 22},
                  {64, 84, 40},
                  {104, 122, 62},
                  {150, 150, 98},
                  {206, 132, 124},
                  {206, 196, 186},
                  {232, 234, 226},
                  {236, 236, 228},
                  {170, 176, 178}},
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
    Fin(c,
        {kFishBase + 3, -FishTop(kFishBase + 3) + 1, tip, up, tip + 16, 0, tip, down, kFishBase + 3,
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
    Fin(c, {84, -FishTop(84) + 3, 93, -FishTop(93) - 19, 102, -FishTop(102) - 21, 116, -FishTop(116) + 2}, frame, fin,
        3, -1);  // dorsal
    Fin(c, {56, -FishTop(56) + 3, 60, -FishTop(60) - 6, 68, -FishTop(68) - 4, 70, -FishTop(70) + 3}, frame, fin, 3,
        -1);  // adipose
    Fin(c, {64, FishBottom(64) - 3, 62, FishBottom(64) + 13, 74, FishBottom(74) + 11, 80, FishBottom(80) - 3}, frame,
        warm, 3, 1);  // anal
    Fin(c, {92, FishBottom(92) - 3, 86, FishBottom(92) + 15, 98, FishBottom(98) + 12, 104, FishBottom(104) - 3}, frame,
        warm, 3, 1);  // pelvic
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
    const int bubbles[][3] = {{6, kFishMidY - 22, 4},  {18, kFishMidY + 26, 3}, {3, kFishMidY + 2, 2},
                              {24, kFishMidY - 50, 2}, {10, kFishMidY + 50, 3}, {34, kFishMidY + 54, 2}};
    for (const auto& b : bubbles) {
        FillEllipse(c, b[0], b[1], b[2], b[2], Px({120, 180, 190}), Flat({220, 246, 250}));
        c.Set(b[0] - 1, b[1] - 1, Flat({255, 255, 255}));
    }
    return c;
}

namespace {

// Each mutation keeps to its own part of the fish, so all nine read at once.

// Mutation 0, weak: a bandage round the middle, gloom under the eye, sweat.
void Weak(Canvas& c) {
    Shape(
        c, 95, 40, 108, 130, [](int x, int y) { return x >= 97 && x <= 106 && OnBody(x, y); },
        [](int x, int y) {
            Rgb g = ((x + y) % 3 == 0) ? Rgb{214, 206, 188} : Rgb{240, 236, 222};
            if (InEllipse(x, y, 102, kFishMidY + 2, 3, 5)) g = {200, 40, 40};
            return Px(g);
        },
        Flat({120, 110, 96}));
    for (int i = 0; i < 4; ++i) Line(c, 132 + i * 4, 89, 132 + i * 4, 97 + (i % 2) * 2, 0, Flat({70, 60, 170}));
    auto drop = [&](int x, int y, int r) {
        FillPolygon(c, {x, y - 2 * r, x - r, y, x + r, y}, Px({150, 220, 250}), Flat({40, 80, 140}));
        FillEllipse(c, x, y + 1, r, r, Px({150, 220, 250}), Flat({40, 80, 140}));
        c.Set(x - 1, y, Flat({255, 255, 255}));
    };
    drop(163, 70, 4);
    drop(158, 58, 3);
}

// Mutation 1, hearty: gleaming gold scales along the belly, and a shine.
void Hearty(Canvas& c) {
    auto inside = [](int x, int y) {
        const int v = y - kFishMidY;
        return OnBody(x, y) && x >= 56 && x <= 94 && v > 0 && v >= FishBottom(x) - 10;
    };
    auto shade = [](int x, int y) {
        const int cx = (x + ((y / 4) % 2) * 3) % 6, cy = y % 4;
        const int t = cy * 256 / 4 + (cx == 0 || cx == 5 ? 70 : 0);
        return Px(Ramp({{255, 248, 180}, {240, 196, 40}, {150, 100, 10}}, t));
    };
    Shape(c, 54, 80, 96, 120, inside, shade, Flat({96, 60, 0}));
    Sparkle(c, 70, 116, 6, {255, 230, 80});
    Sparkle(c, 88, 120, 4, {255, 230, 80});
    Sparkle(c, 58, 106, 3, {255, 230, 80});
}

// Mutation 2, overflowing stamina: a feathered wing on the back.
void Winged(Canvas& c) {
    const uint32_t edge = Flat({40, 60, 110});
    // Leading edge up from the shoulder to the tip, then the scalloped
    // trailing edge of the flight feathers back down to the body.
    const std::vector<int> wing = {98, 60, 106, 38, 98, 16, 80, 4,  52, 2,  40, 8,  56, 14, 44,
                                   20, 60, 26,  50, 32, 66, 38, 58, 44, 74, 48, 68, 54, 84, 58};
    Shape(
        c, 36, 0, 108, 62, [&](int x, int y) { return InPolygon(wing, x, y); },
        [](int x, int y) {
            return Px(Mix({252, 254, 255}, {180, 200, 236}, (x + y * 2 - 60) * 256 / 160));
        },
        edge);
    // Feather lines from the arm of the wing to the notches between feathers.
    for (size_t i = 10; i + 3 < wing.size(); i += 4)
        Curve(c, 96 - static_cast<int>(i), 14 + static_cast<int>(i) * 2, (wing[i] + 96) / 2, wing[i + 1] - 4, wing[i],
              wing[i + 1], 0, 0, Flat({140, 160, 210}));
    Curve(c, 100, 52, 100, 24, 80, 10, 1, 1, Px({236, 242, 255}), edge);
}

// Mutation 3, strong: a muscled arm flexing under the body.
void Armed(Canvas& c) {
    const Rgb skin = {236, 168, 150};
    const uint32_t edge = Flat({80, 30, 30});
    Line(c, 126, 108, 116, 150, 8, Px(skin), edge);              // upper arm
    FillEllipse(c, 112, 130, 9, 13, Px({246, 186, 166}), edge);  // biceps
    Line(c, 116, 150, 138, 136, 7, Px(skin), edge);              // forearm
    FillEllipse(c, 140, 132, 8, 9, Px(skin), edge);              // fist
    for (int i = 0; i < 3; ++i) Line(c, 142, 126 + i * 4, 147, 126 + i * 4, 0, edge);
    Bevel(c, 4, 60);
    Line(c, 107, 124, 111, 120, 0, Flat({255, 236, 226}));
}

// Mutation 4, mighty: a drill horn on the brow and spikes along the back.
void Horned(Canvas& c) {
    const std::vector<int> horn = {138, 64, 146, 56, 156, 58, 169, 18};
    Shape(
        c, 136, 16, 169, 66, [&](int x, int y) { return InPolygon(horn, x, y); },
        [](int x, int y) {
            const int band = ((x + y * 2) / 5) % 3;
            return Px(band == 0 ? Rgb{150, 100, 40} : (band == 1 ? Rgb{250, 236, 190} : Rgb{220, 186, 116}));
        },
        Flat({70, 40, 10}));
    for (int i = 0; i < 3; ++i) {
        const int x = 116 + i * 8, top = kFishMidY - FishTop(x);
        FillPolygon(c, {x - 5, top + 4, x + 3, top - 14, x + 5, top + 4}, Px({190, 40, 30}), Flat({60, 10, 10}));
    }
}

// Mutation 5, no strength: ribs showing through a wasted flank, drooping lid.
void Wasted(Canvas& c) {
    const uint32_t bone = Px({238, 232, 214}), shadow = Flat({110, 100, 110});
    Line(c, 72, kFishMidY - 12, 94, kFishMidY - 14, 1, bone, shadow);
    for (int i = 0; i < 5; ++i) {
        const int x = 76 + i * 5;
        Curve(c, x, kFishMidY - 12, x - 5, kFishMidY - 4, x - 2, kFishMidY + 4, 1, 0, bone);
    }
    Shape(
        c, kFishEyeX - 7, kFishEyeY - 7, kFishEyeX + 7, kFishEyeY + 1,
        [](int x, int y) { return InEllipse(x, y, kFishEyeX, kFishEyeY, 7, 7) && y <= kFishEyeY; },
        [](int, int) {
            return Px({96, 112, 70});
        },
        Flat({18, 24, 16}));
    Line(c, kFishEyeX - 6, kFishEyeY + 8, kFishEyeX + 4, kFishEyeY + 9, 0, Flat({90, 60, 120}));
}

// Mutation 6, clean water: a halo and glitter.
void Blessed(Canvas& c) {
    Shape(
        c, 106, 16, 152, 38,
        [](int x, int y) { return InEllipse(x, y, 129, 27, 22, 8) && !InEllipse(x, y, 129, 27, 16, 4); },
        [](int, int y) {
            return Px(y < 26 ? Rgb{255, 250, 190} : Rgb{240, 200, 40});
        },
        Flat({150, 110, 0}));
    Sparkle(c, 104, 12, 5, {170, 230, 255});
    Sparkle(c, 150, 10, 4, {170, 230, 255});
    Sparkle(c, 112, 44, 3, {170, 230, 255});
    Sparkle(c, 144, 44, 3, {170, 230, 255});
}

// Mutation 7, dirty water: boils and sores.
void Sores(Canvas& c) {
    const int sores[][3] = {{112, 78, 5}, {122, 88, 4}, {110, 92, 3}, {66, 82, 4}, {56, 90, 3}, {120, 68, 3}};
    for (const auto& s : sores) {
        Shape(
            c, s[0] - s[2], s[1] - s[2], s[0] + s[2], s[1] + s[2],
            [&](int x, int y) { return InEllipse(x, y, s[0], s[1], s[2], s[2]); },
            [&](int x, int y) {
                const int d = (x - s[0] + 1) * (x - s[0] + 1) + (y - s[1] + 1) * (y - s[1] + 1);
                return Px(d <= 1 ? Rgb{240, 255, 160} : (d < s[2] * s[2] / 2 ? Rgb{150, 200, 40} : Rgb{170, 60, 170}));
            },
            Flat({60, 10, 60}));
    }
    Curve(c, 112, 83, 113, 96, 111, 104, 1, 2, Px({150, 210, 40}), Flat({40, 70, 10}));
    Curve(c, 66, 86, 67, 98, 65, 106, 1, 2, Px({150, 210, 40}), Flat({40, 70, 10}));
}

// Mutation 8, poisoned: a third eye and feelers from the chin.
void ThirdEye(Canvas& c) {
    const uint32_t edge = Flat({40, 0, 40});
    Curve(c, 150, 96, 154, 112, 148, 124, 3, 1, Px({170, 70, 190}), edge);
    Curve(c, 155, 94, 166, 106, 164, 122, 3, 1, Px({190, 90, 210}), edge);
    FillEllipse(c, 130, 66, 9, 6, Flat({250, 240, 220}), edge);
    FillEllipse(c, 130, 66, 4, 5, Flat({220, 30, 20}));
    FillEllipse(c, 130, 66, 1, 3, Flat({0, 0, 0}));
    c.Set(128, 63, Flat({255, 255, 255}));
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
