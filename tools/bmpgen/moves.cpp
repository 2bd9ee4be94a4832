// The three special moves, three phases each, drawn at the fish's place:
// the hidden strength (an aura under the fish), eating (over the head) and
// fighting spirit (a headband and flames over the fish).
#include <algorithm>
#include <cstdlib>

#include "tools/bmpgen/pictures.h"

namespace pictures {

using namespace art;

namespace {

// Chamfer distance (in thirds of a pixel) from every pixel to the fish.
std::vector<int> DistanceToFish() {
    const Canvas a = Fish(1), b = Fish(2);
    const int n = kSprite;
    std::vector<int> d(static_cast<size_t>(n * n));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) d[static_cast<size_t>(y * n + x)] = a.Opaque(x, y) || b.Opaque(x, y) ? 0 : 1 << 20;
    auto at = [&](int x, int y) {
        return x < 0 || y < 0 || x >= n || y >= n ? 1 << 20 : d[static_cast<size_t>(y * n + x)];
    };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int& v = d[static_cast<size_t>(y * n + x)];
            v = std::min({v, at(x - 1, y) + 3, at(x, y - 1) + 3, at(x - 1, y - 1) + 4, at(x + 1, y - 1) + 4});
        }
    for (int y = n - 1; y >= 0; --y)
        for (int x = n - 1; x >= 0; --x) {
            int& v = d[static_cast<size_t>(y * n + x)];
            v = std::min({v, at(x + 1, y) + 3, at(x, y + 1) + 3, at(x + 1, y + 1) + 4, at(x - 1, y + 1) + 4});
        }
    return d;
}

// A small fry, the one about to be eaten.
void Fry(Canvas& c, int cx, int cy, int squash) {
    const uint32_t edge = Flat({60, 30, 0});
    FillPolygon(c, {cx - 10, cy, cx - 18, cy - 7, cx - 17, cy + 7}, Px({240, 160, 40}), edge);
    FillEllipse(c, cx, cy, 11 - squash, 6 + squash / 2, Px({250, 200, 70}), edge);
    FillEllipse(c, cx + 5 - squash, cy - 1, 3, 3, Flat({255, 255, 255}), edge);
    c.Set(cx + 6 - squash, cy - 1, Flat({0, 0, 0}));
}

void SweatDrop(Canvas& c, int x, int y) {
    FillPolygon(c, {x, y - 6, x - 3, y, x + 3, y}, Px({150, 220, 250}), Flat({40, 80, 140}));
    FillEllipse(c, x, y + 1, 3, 3, Px({150, 220, 250}), Flat({40, 80, 140}));
}

void Heart(Canvas& c, int x, int y, int r) {
    Shape(
        c, x - 2 * r, y - r, x + 2 * r, y + 2 * r,
        [&](int px, int py) {
            return InEllipse(px, py, x - r / 2 - 1, y, r, r) || InEllipse(px, py, x + r / 2 + 1, y, r, r) ||
                   InPolygon({x - 2 * r + 1, y + 1, x + 2 * r - 1, y + 1, x, y + 2 * r + 1}, px, py);
        },
        [](int, int) {
            return Px({250, 90, 130});
        },
        Flat({110, 0, 30}));
    c.Set(x - r, y - r / 2, Flat({255, 220, 230}));
}

// Fish bones: what is left of the fry.
void Bones(Canvas& c, int x, int y) {
    const uint32_t bone = Px({240, 236, 220}), edge = Flat({100, 90, 80});
    Line(c, x - 16, y, x + 6, y, 1, bone, edge);
    for (int i = 0; i < 4; ++i) {
        Line(c, x - 12 + i * 5, y - 6, x - 10 + i * 5, y + 6, 0, Flat({230, 226, 210}));
    }
    FillPolygon(c, {x + 4, y - 6, x + 14, y, x + 4, y + 6}, bone, edge);
    FillPolygon(c, {x - 16, y, x - 22, y - 6, x - 22, y + 6}, bone, edge);
    c.Set(x + 8, y - 1, Flat({40, 30, 30}));
}

// Flames licking up from the fish's back, `height` pixels at most.
void Flames(Canvas& c, int from, int to, int height, uint32_t seed) {
    auto top = [](int x) { return kFishMidY - std::max(FishTop(x), 8) + 6; };
    auto reach = [&](int x) {
        const int tongue = std::abs(Sin(x * kTurn / 14 + static_cast<int>(seed))) * 256 / kOne;
        return height * (96 + tongue + Noise(x, 0, 6, 0, seed) / 2) / 480;
    };
    Shape(
        c, from, 0, to, kSprite - 1,
        [&](int x, int y) {
            if (x < from || x > to) return false;
            const int edgeFade = std::min(x - from, to - x) * 256 / 14;
            const int h = reach(x) * std::min(edgeFade, 256) / 256;
            return y <= top(x) && y >= top(x) - h;
        },
        [&](int x, int y) {
            const int h = std::max(reach(x), 1);
            return Px(Ramp({{255, 252, 200}, {255, 224, 80}, {255, 140, 30}, {230, 50, 20}}, (top(x) - y) * 256 / h));
        },
        Flat({120, 10, 0}));
}

void Headband(Canvas& c) {
    auto top = [](int x) { return kFishMidY - FishTop(x); };
    Shape(
        c, 120, 50, 156, 80,
        [&](int x, int y) { return x >= 122 && x <= 154 && y >= top(x) && y <= top(x) + 6 && y < kFishEyeY - 7; },
        [](int x, int y) {
            if (InEllipse(x, y, 146, 67, 3, 3)) return Px({220, 20, 30});
            return Px(y % 3 ? Rgb{246, 246, 240} : Rgb{210, 210, 214});
        },
        Flat({60, 50, 60}));
    // The knot at the back of the head and its two tails in the wind.
    const uint32_t cloth = Px({246, 246, 240}), edge = Flat({60, 50, 60});
    Curve(c, 122, 64, 104, 50, 84, 56, 3, 2, cloth, edge);
    Curve(c, 122, 64, 106, 40, 88, 40, 3, 2, cloth, edge);
    FillEllipse(c, 122, 64, 4, 4, Px({220, 20, 30}), edge);
}

}  // namespace

Canvas HiddenStrength(int phase) {
    static const std::vector<int> dist = DistanceToFish();
    Canvas c(kSprite, kSprite);
    const int reach = (8 + phase * 8) * 3;
    for (int y = 0; y < kSprite; ++y) {
        for (int x = 0; x < kSprite; ++x) {
            // Flame-like tongues of force rising from the fish.
            const int up = std::max(0, kFishMidY - y);
            const int flicker = Noise(x * 2, y + up + phase * 40, 10, 0, 71);
            const int r = reach * (160 + flicker) / 288 + up * phase * flicker / 1200;
            const int d = dist[static_cast<size_t>(y * kSprite + x)];
            if (d >= r || x < 1 || y < 1 || x >= kSprite - 1 || y >= kSprite - 1) continue;
            const int t = d * 256 / std::max(r, 1);
            if (t > 230) c.Set(x, y, Flat({10, 40, 110}));
            else c.Set(x, y, Px(Ramp({{240, 252, 255}, {150, 220, 255}, {60, 150, 240}, {20, 70, 170}}, t)));
        }
    }
    // Motes of light drifting upwards, and rays once the power is full.
    Rng rng{static_cast<uint32_t>(500 + phase)};
    for (int i = 0; i < 6 + phase * 8; ++i) {
        const int x = rng.Range(10, 160), y = rng.Range(4, 160);
        if (!c.Opaque(x, y)) Sparkle(c, x, y, 1 + phase, {120, 210, 255});
    }
    if (phase == 2)
        for (int i = 0; i < 12; ++i) {
            const int a = i * kTurn / 12 + 100;
            Line(c, 85 + 70 * Cos(a) / kOne, 86 + 70 * Sin(a) / kOne, 85 + 84 * Cos(a) / kOne, 86 + 84 * Sin(a) / kOne,
                 1, Px({190, 240, 255}));
        }
    return c;
}

Canvas Eating(int phase) {
    Canvas c(kSprite, kSprite);
    if (phase == 0) {
        Fry(c, 154, 72, 0);
        SweatDrop(c, 160, 56);
        for (int i = 0; i < 3; ++i) Line(c, 130 - i * 2, 64 + i * 8, 120 - i * 2, 64 + i * 8, 0, Flat({255, 255, 255}));
    } else if (phase == 1) {
        // The jaws gape round the fry: a dark maw ringed with teeth.
        constexpr int mx = 150, my = 86, rx = 20, ry = 30;
        Shape(
            c, mx - rx, my - ry, mx + rx, my + ry, [&](int x, int y) { return InEllipse(x, y, mx, my, rx, ry); },
            [&](int, int y) {
                return Px(Mix({170, 40, 50}, {50, 0, 10}, (y - my + ry) * 128 / ry));
            },
            Flat({40, 0, 0}));
        Fry(c, 152, 86, 4);
        for (int i = 0; i < 9; ++i) {
            const int a = kTurn / 4 + kTurn / 16 + i * kTurn * 3 / 32;  // round the back of the maw, both jaws
            for (int side : {1, -1}) {
                const int ang = side == 1 ? a : -a;
                const int bx = mx + rx * Cos(ang) / kOne, by = my + ry * Sin(ang) / kOne;
                const int tx = mx + (rx - 9) * Cos(ang) / kOne, ty = my + (ry - 9) * Sin(ang) / kOne;
                const int px = -(by - my) * 4 / ry, py = (bx - mx) * 4 / rx;
                FillPolygon(c, {bx + px, by + py, bx - px, by - py, tx, ty}, Flat({255, 255, 250}), Flat({90, 80, 80}));
            }
        }
        Curve(c, 130, 70, 140, 50, 168, 52, 5, 4, Px({104, 122, 62}), Flat({18, 24, 16}));      // upper jaw
        Curve(c, 130, 102, 140, 122, 168, 120, 5, 4, Px({222, 222, 214}), Flat({18, 24, 16}));  // lower jaw
        for (int i = 0; i < 5; ++i) {
            const int y = 50 + i * 18;
            Line(c, 120 - (i % 2) * 8, y, 106 - (i % 2) * 8, y + (86 - y) / 6, 0, Flat({255, 255, 255}));
        }
    } else {
        Bones(c, 146, 118);
        const int crumbs[][2] = {{160, 100}, {166, 108}, {154, 130}, {162, 124}};
        for (const auto& p : crumbs) FillEllipse(c, p[0], p[1], 2, 2, Px({250, 200, 70}), Flat({60, 30, 0}));
        Heart(c, 134, 40, 5);
        Heart(c, 152, 26, 4);
        Heart(c, 118, 22, 3);
        for (int i = 0; i < 3; ++i)
            Curve(c, 160 - i * 4, 92 + i * 4, 166, 96 + i * 4, 168, 104 + i * 4, 0, 0, Flat({255, 255, 255}));
    }
    return c;
}

Canvas FightingSpirit(int phase) {
    Canvas c(kSprite, kSprite);
    if (phase >= 1)
        Flames(c, phase == 1 ? 70 : 30, phase == 1 ? 130 : 150, phase == 1 ? 30 : 56,
               11 + static_cast<uint32_t>(phase));
    Headband(c);
    if (phase >= 1) {
        // The vein of anger, throbbing on the brow.
        const uint32_t vein = Px({230, 30, 40}), edge = Flat({90, 0, 0});
        Curve(c, 154, 36, 158, 42, 154, 46, 1, 1, vein, edge);
        Curve(c, 162, 36, 158, 42, 162, 46, 1, 1, vein, edge);
    }
    if (phase == 2) {
        // Burning eye and lines of power bursting outwards.
        FillEllipse(c, kFishEyeX, kFishEyeY, 5, 5, Flat({255, 80, 20}), Flat({120, 0, 0}));
        FillEllipse(c, kFishEyeX + 1, kFishEyeY, 2, 2, Flat({255, 255, 120}));
        for (int i = 0; i < 8; ++i) {
            const int a = kTurn / 2 + i * kTurn / 16 + kTurn / 32;
            Line(c, 90 + 72 * Cos(a) / kOne, 86 + 76 * Sin(a) / kOne, 90 + 84 * Cos(a) / kOne, 86 + 84 * Sin(a) / kOne,
                 1, Px({255, 220, 90}));
        }
    } else {
        Sparkle(c, 112, 52, 3, {255, 200, 80});
        Sparkle(c, 150, 46, 2, {255, 200, 80});
    }
    return c;
}

}  // namespace pictures
