// The drawing kit of the picture generator: maths, noise, palette, canvas.
#include "tools/bmpgen/art.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace art {

Rgb Mix(Rgb a, Rgb b, int t) {
    t = Clamp(t, 0, 256);
    return {a.r + (b.r - a.r) * t / 256, a.g + (b.g - a.g) * t / 256, a.b + (b.b - a.b) * t / 256};
}

Rgb Ramp(std::initializer_list<Rgb> stops, int t) {
    const int n = static_cast<int>(stops.size());
    if (n == 1) return *stops.begin();
    t = Clamp(t, 0, 256);
    const int pos = t * (n - 1);  // in 1/256 of a stop
    const int i = std::min(pos / 256, n - 2);
    return Mix(stops.begin()[i], stops.begin()[i + 1], pos - i * 256);
}

Rgb Shade(Rgb c, int scale) {
    return {Clamp(c.r * scale / 256, 0, 255), Clamp(c.g * scale / 256, 0, 255), Clamp(c.b * scale / 256, 0, 255)};
}

Rgb Add(Rgb c, int dr, int dg, int db) {
    return {Clamp(c.r + dr, 0, 255), Clamp(c.g + dg, 0, 255), Clamp(c.b + db, 0, 255)};
}

// Bhaskara's rational approximation of the sine, good to about 0.2%.
int Sin(int angle) {
    int a = angle % kTurn;
    if (a < 0) a += kTurn;
    const int half = kTurn / 2;
    const int sign = a < half ? 1 : -1;
    if (a >= half) a -= half;
    const int64_t p = static_cast<int64_t>(a) * (half - a);
    const int64_t den = int64_t{5} * half * half / 4 - p;
    return sign * static_cast<int>(4 * p * kOne / den);
}

int Cos(int angle) { return Sin(angle + kTurn / 4); }

int Isqrt(int64_t v) {
    if (v <= 0) return 0;
    int64_t r = 0, bit = int64_t{1} << 62;
    while (bit > v) bit >>= 2;
    while (bit) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
        bit >>= 2;
    }
    return static_cast<int>(r);
}

int Atan2(int dy, int dx) {
    if (dx == 0 && dy == 0) return 0;
    const int64_t ax = std::abs(dx), ay = std::abs(dy);
    // First octant from the ratio, with a quadratic correction (0.3 degree).
    const int64_t mn = std::min(ax, ay), mx = std::max(ax, ay);
    const int64_t r = mn * 1024 / mx;  // 0..1024 for 0..45 degrees
    int a = static_cast<int>(r * 512 / 1024 + r * (1024 - r) * 178 / (1024 * 1024));
    if (ay > ax) a = 1024 - a;
    if (dx < 0) a = 2048 - a;
    if (dy < 0) a = (kTurn - a) % kTurn;
    return a;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

int Smooth(int t) {
    t = Clamp(t, 0, 256);
    return t * t * (768 - 2 * t) / 65536;
}

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

uint32_t Rng::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int Rng::Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1)); }

int Noise(int x, int y, int cell, int periodX, uint32_t seed) {
    const int fx = x >= 0 ? x / cell : (x - cell + 1) / cell;
    const int fy = y >= 0 ? y / cell : (y - cell + 1) / cell;
    const int tx = Smooth((x - fx * cell) * 256 / cell);
    const int ty = Smooth((y - fy * cell) * 256 / cell);
    auto at = [&](int i, int j) {
        if (periodX > 0) i = ((i % periodX) + periodX) % periodX;
        return static_cast<int>(Hash(static_cast<uint32_t>(i), static_cast<uint32_t>(j), seed) & 255);
    };
    const int top = at(fx, fy) * 256 + (at(fx + 1, fy) - at(fx, fy)) * tx;
    const int bottom = at(fx, fy + 1) * 256 + (at(fx + 1, fy + 1) - at(fx, fy + 1)) * tx;
    return (top * 256 + (bottom - top) * ty) / 65536;
}

int Fbm(int x, int y, int cell, int octaves, int periodX, uint32_t seed) {
    int sum = 0, weight = 256, total = 0;
    for (int o = 0; o < octaves && cell >= 2; ++o) {
        sum += Noise(x, y, cell, periodX, seed + static_cast<uint32_t>(o) * 101u) * weight;
        total += weight;
        weight /= 2;
        cell /= 2;
        periodX *= 2;
    }
    return total ? sum / total : 128;
}

// ---- palette -------------------------------------------------------------

namespace {

struct RampDef {
    int count;
    std::vector<Rgb> stops;
};

// The ramps every picture is painted from, dark to light, 250 entries.
const RampDef kRamps[] = {
    {40, {{4, 10, 16}, {10, 34, 44}, {24, 66, 70}, {50, 104, 96}, {96, 150, 130}, {176, 214, 194}}},       // river
    {20, {{10, 16, 6}, {40, 52, 18}, {80, 96, 36}, {130, 150, 70}, {196, 204, 136}}},                      // murk, weed
    {24, {{14, 8, 4}, {50, 30, 14}, {100, 64, 30}, {150, 104, 58}, {200, 160, 110}, {238, 216, 172}}},     // earth
    {20, {{20, 22, 28}, {70, 74, 82}, {130, 136, 144}, {190, 196, 204}, {238, 242, 246}}},                 // grey
    {22, {{40, 0, 0}, {120, 10, 10}, {200, 30, 20}, {240, 90, 20}, {255, 160, 40}, {255, 222, 124}}},      // fire
    {14, {{60, 40, 0}, {140, 100, 0}, {220, 170, 20}, {255, 230, 80}, {255, 250, 192}}},                   // gold
    {22, {{20, 0, 30}, {70, 10, 90}, {130, 30, 160}, {200, 70, 220}, {240, 150, 250}, {255, 216, 255}}},   // violet
    {16, {{0, 30, 0}, {20, 90, 10}, {60, 170, 20}, {140, 230, 40}, {212, 255, 132}}},                      // toxic
    {20, {{0, 20, 60}, {10, 60, 140}, {30, 120, 220}, {90, 190, 255}, {170, 230, 255}, {226, 250, 255}}},  // aura
    {14, {{60, 16, 24}, {140, 50, 60}, {210, 100, 110}, {245, 160, 160}, {255, 216, 206}}},                // flesh
    {18, {{16, 24, 12}, {40, 56, 28}, {72, 90, 44}, {110, 124, 66}, {160, 168, 110}, {212, 214, 172}}},    // olive
    {12, {{10, 40, 10}, {30, 90, 30}, {70, 150, 50}, {140, 210, 90}, {202, 242, 162}}},                    // leaf
    {8, {{30, 40, 70}, {70, 90, 130}, {130, 150, 190}, {202, 212, 236}}},                                  // steel
};

std::array<PALETTEENTRY, 256> BuildPalette() {
    std::array<PALETTEENTRY, 256> pal{};
    auto put = [&](int i, Rgb c) {
        pal[static_cast<size_t>(i)] = {static_cast<BYTE>(c.r), static_cast<BYTE>(c.g), static_cast<BYTE>(c.b), 0};
    };
    // The exact colours the game writes its texts in, and the see-through key.
    put(0, {0, 0, 0});
    put(kKeyIndex, {0, 255, 0});
    put(2, {255, 255, 255});
    put(3, {255, 255, 0});
    put(4, {0, 255, 255});
    put(5, {255, 0, 255});
    int next = 6;
    for (const RampDef& ramp : kRamps) {
        const int n = static_cast<int>(ramp.stops.size());
        for (int i = 0; i < ramp.count; ++i) {
            const int pos = i * 256 * (n - 1) / (ramp.count - 1);  // in 1/256 of a stop
            const int s = std::min(pos / 256, n - 2);
            put(next++, Mix(ramp.stops[static_cast<size_t>(s)], ramp.stops[static_cast<size_t>(s) + 1], pos - s * 256));
        }
    }
    // Every entry must be its own colour, or loading would fold two into one.
    for (int i = 1; i < 256; ++i) {
        for (int j = 0; j < i; ++j) {
            PALETTEENTRY& p = pal[static_cast<size_t>(i)];
            const PALETTEENTRY& q = pal[static_cast<size_t>(j)];
            if (p.peRed == q.peRed && p.peGreen == q.peGreen && p.peBlue == q.peBlue) {
                p.peBlue = static_cast<BYTE>(p.peBlue < 255 ? p.peBlue + 1 : p.peBlue - 1);
                j = -1;
            }
        }
    }
    return pal;
}

}  // namespace

const PALETTEENTRY* Palette() {
    static const std::array<PALETTEENTRY, 256> pal = BuildPalette();
    return pal.data();
}

Rgb PaletteRgb(int index) {
    const PALETTEENTRY& p = Palette()[index];
    return {p.peRed, p.peGreen, p.peBlue};
}

// ---- canvas --------------------------------------------------------------

uint32_t Px(Rgb c) {
    return static_cast<uint32_t>(Clamp(c.r, 0, 255) << 16 | Clamp(c.g, 0, 255) << 8 | Clamp(c.b, 0, 255));
}

uint32_t Flat(Rgb c) { return kFlat | Px(c); }

Rgb ToRgb(uint32_t pixel) {
    return {static_cast<int>(pixel >> 16 & 255), static_cast<int>(pixel >> 8 & 255), static_cast<int>(pixel & 255)};
}

Canvas::Canvas(int width, int height, uint32_t fill)
    : w(width), h(height), px(static_cast<size_t>(width) * static_cast<size_t>(height), fill) {}

bool Canvas::Has(int x, int y) const { return y >= 0 && y < h && (wrapX || (x >= 0 && x < w)); }

uint32_t Canvas::Get(int x, int y) const {
    if (!Has(x, y)) return kClear;
    if (wrapX) x = ((x % w) + w) % w;
    return px[static_cast<size_t>(y * w + x)];
}

void Canvas::Set(int x, int y, uint32_t v) {
    if (!Has(x, y)) return;
    if (wrapX) x = ((x % w) + w) % w;
    px[static_cast<size_t>(y * w + x)] = v;
}

void Over(Canvas& base, const Canvas& top, int dx, int dy) {
    for (int y = 0; y < top.h; ++y)
        for (int x = 0; x < top.w; ++x)
            if (top.Opaque(x, y)) base.Set(x + dx, y + dy, top.Get(x, y));
}

namespace {

constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

uint8_t NearestExact(Rgb c) {
    const PALETTEENTRY* pal = Palette();
    int best = 0, bestD = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        if (i == kKeyIndex) continue;
        const int dr = pal[i].peRed - c.r, dg = pal[i].peGreen - c.g, db = pal[i].peBlue - c.b;
        const int d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

// Nearest entry of a colour cut to 6 bits a channel, remembered.
uint8_t NearestCached(Rgb c) {
    static std::vector<int16_t> cache(64 * 64 * 64, -1);
    const int key = (c.r >> 2) << 12 | (c.g >> 2) << 6 | (c.b >> 2);
    int16_t& slot = cache[static_cast<size_t>(key)];
    if (slot < 0) slot = NearestExact({(c.r & ~3) + 2, (c.g & ~3) + 2, (c.b & ~3) + 2});
    return static_cast<uint8_t>(slot);
}

}  // namespace

std::vector<uint8_t> Quantize(const Canvas& c, int amp) {
    std::vector<uint8_t> out(c.px.size());
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            const uint32_t p = c.px[static_cast<size_t>(y * c.w + x)];
            uint8_t idx;
            if (p == kClear) {
                idx = kKeyIndex;
            } else if (p & kFlat) {
                idx = NearestExact(ToRgb(p));
            } else {
                const int d = (kBayer[y & 3][x & 3] * 2 - 15) * amp / 16;
                const Rgb rgb = ToRgb(p);
                idx = NearestCached({Clamp(rgb.r + d, 0, 255), Clamp(rgb.g + d, 0, 255), Clamp(rgb.b + d, 0, 255)});
            }
            out[static_cast<size_t>(y * c.w + x)] = idx;
        }
    }
    return out;
}

// ---- shapes --------------------------------------------------------------

bool InEllipse(int x, int y, int cx, int cy, int rx, int ry) {
    if (rx <= 0 || ry <= 0) return false;
    const int64_t dx = 2 * (x - cx) + 1, dy = 2 * (y - cy) + 1;
    const int64_t a = 2 * static_cast<int64_t>(rx), b = 2 * static_cast<int64_t>(ry);
    return dx * dx * b * b + dy * dy * a * a <= a * a * b * b;
}

bool InPolygon(const std::vector<int>& pts, int x, int y) {
    const int64_t px = 2 * x + 1, py = 2 * y + 1;
    const size_t n = pts.size() / 2;
    bool in = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const int64_t xi = 2 * pts[2 * i], yi = 2 * pts[2 * i + 1];
        const int64_t xj = 2 * pts[2 * j], yj = 2 * pts[2 * j + 1];
        if ((yi > py) != (yj > py)) {
            // px < xi + (py - yi) * (xj - xi) / (yj - yi), without division
            const int64_t lhs = (px - xi) * (yj - yi), rhs = (py - yi) * (xj - xi);
            if (yj > yi ? lhs < rhs : lhs > rhs) in = !in;
        }
    }
    return in;
}

int64_t SegDist2(int x, int y, int ax, int ay, int bx, int by) {
    // Work in quarter pixels, from the pixel centre.
    const int64_t px = 4 * x + 2 - (4 * ax + 2), py = 4 * y + 2 - (4 * ay + 2);
    const int64_t vx = 4 * (bx - ax), vy = 4 * (by - ay);
    const int64_t len2 = vx * vx + vy * vy;
    int64_t t = len2 ? (px * vx + py * vy) * 1024 / len2 : 0;
    t = std::clamp<int64_t>(t, 0, 1024);
    const int64_t dx = px - vx * t / 1024, dy = py - vy * t / 1024;
    return dx * dx + dy * dy;
}

bool InCapsule(int x, int y, int ax, int ay, int bx, int by, int r) {
    return SegDist2(x, y, ax, ay, bx, by) <= int64_t{16} * r * r + 8;
}

void FillEllipse(Canvas& c, int cx, int cy, int rx, int ry, uint32_t fill, uint32_t edge) {
    Shape(
        c, cx - rx, cy - ry, cx + rx, cy + ry, [&](int x, int y) { return InEllipse(x, y, cx, cy, rx, ry); },
        [&](int, int) { return fill; }, edge);
}

void FillPolygon(Canvas& c, const std::vector<int>& pts, uint32_t fill, uint32_t edge) {
    ShapePolygon(
        c, pts, [&](int, int) { return fill; }, edge);
}

void Line(Canvas& c, int ax, int ay, int bx, int by, int r, uint32_t fill, uint32_t edge) {
    Shape(
        c, std::min(ax, bx) - r - 1, std::min(ay, by) - r - 1, std::max(ax, bx) + r + 1, std::max(ay, by) + r + 1,
        [&](int x, int y) { return InCapsule(x, y, ax, ay, bx, by, r); }, [&](int, int) { return fill; }, edge);
}

void Curve(Canvas& c, int ax, int ay, int cx, int cy, int bx, int by, int r0, int r1, uint32_t fill, uint32_t edge) {
    constexpr int kSteps = 24;
    std::vector<int> p;
    for (int i = 0; i <= kSteps; ++i) {
        const int t = i * 256 / kSteps, u = 256 - t;
        p.push_back((u * u * ax + 2 * u * t * cx + t * t * bx) / 65536);
        p.push_back((u * u * ay + 2 * u * t * cy + t * t * by) / 65536);
    }
    const int rmax = std::max(r0, r1) + 1;
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
    for (size_t i = 0; i < p.size(); i += 2) {
        x0 = std::min(x0, p[i] - rmax);
        x1 = std::max(x1, p[i] + rmax);
        y0 = std::min(y0, p[i + 1] - rmax);
        y1 = std::max(y1, p[i + 1] + rmax);
    }
    auto inside = [&](int x, int y) {
        for (int i = 0; i < kSteps; ++i) {
            const int r = r0 + (r1 - r0) * i / kSteps;
            if (InCapsule(x, y, p[2 * i], p[2 * i + 1], p[2 * i + 2], p[2 * i + 3], r)) return true;
        }
        return false;
    };
    Shape(
        c, x0, y0, x1, y1, inside, [&](int, int) { return fill; }, edge);
}

void Ring(Canvas& c, int cx, int cy, int r, int thick, uint32_t fill) {
    Shape(
        c, cx - r, cy - r, cx + r, cy + r,
        [&](int x, int y) { return InEllipse(x, y, cx, cy, r, r) && !InEllipse(x, y, cx, cy, r - thick, r - thick); },
        [&](int, int) { return fill; });
}

void Outline(Canvas& c, uint32_t edge) {
    const Canvas before = c;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (!before.Opaque(x, y) && (before.Opaque(x - 1, y) || before.Opaque(x + 1, y) ||
                                         before.Opaque(x, y - 1) || before.Opaque(x, y + 1)))
                c.Set(x, y, edge);
}

void Bevel(Canvas& c, int reach, int amount) {
    const Canvas src = c;
    auto rim = [&](int x, int y) {
        const uint32_t p = src.Get(x, y);
        return p == kClear || (p & kFlat) != 0;
    };
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            const uint32_t p = src.Get(x, y);
            if (rim(x, y)) continue;
            int s = 0;
            for (int k = 1; k <= reach; ++k)
                if (rim(x - k, y - k)) {
                    s += amount * (reach - k + 1) / reach;
                    break;
                }
            for (int k = 1; k <= reach; ++k)
                if (rim(x + k, y + k)) {
                    s -= amount * (reach - k + 1) / reach;
                    break;
                }
            if (s) c.Set(x, y, Px(Shade(ToRgb(p), 256 + s)));
        }
    }
}

void Sparkle(Canvas& c, int x, int y, int arm, Rgb colour) {
    const uint32_t core = Flat({255, 255, 255}), ray = Flat(colour);
    for (int i = 1; i <= arm; ++i) {
        const uint32_t v = i <= arm / 2 ? core : ray;
        c.Set(x + i, y, v);
        c.Set(x - i, y, v);
        c.Set(x, y + i, v);
        c.Set(x, y - i, v);
    }
    c.Set(x, y, core);
}

}  // namespace art
