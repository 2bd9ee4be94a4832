// The contact sheet of every picture (as the game shows them: keyed ones over
// the river, moves and mutations on the fish) and the desktop icon, as PNG.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "tools/bmpgen/pictures.h"

namespace pictures {

using namespace art;

namespace {

bool WritePng(const std::string& path, int w, int h, int channels, const std::vector<uint8_t>& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, data.data() + static_cast<size_t>(y) * static_cast<size_t>(w * channels));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

struct Sheet {
    int w, h;
    std::vector<uint8_t> rgb;

    void Put(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        uint8_t* p = &rgb[static_cast<size_t>((y * w + x) * 3)];
        p[0] = static_cast<uint8_t>(c.r);
        p[1] = static_cast<uint8_t>(c.g);
        p[2] = static_cast<uint8_t>(c.b);
    }
    Rgb At(int x, int y) const {
        const uint8_t* p = &rgb[static_cast<size_t>((y * w + x) * 3)];
        return {p[0], p[1], p[2]};
    }
    // A picture 1:1, or enlarged `zoom` times; keyed pixels leave the sheet.
    void Draw(const Picture& p, int dx, int dy, int zoom = 1) {
        for (int y = 0; y < p.canvas.h * zoom; ++y)
            for (int x = 0; x < p.canvas.w * zoom; ++x) {
                const uint8_t i = p.indices[static_cast<size_t>((y / zoom) * p.canvas.w + x / zoom)];
                if (!p.keyed || i != p.indices[0]) Put(dx + x, dy + y, PaletteRgb(i));
            }
    }
    // A picture at half size, averaging each 2x2 block.
    void DrawHalf(const Picture& p, int dx, int dy) {
        for (int y = 0; y < p.canvas.h / 2; ++y)
            for (int x = 0; x < p.canvas.w / 2; ++x) {
                int r = 0, g = 0, b = 0;
                for (int k = 0; k < 4; ++k) {
                    const int sx = 2 * x + (k & 1), sy = 2 * y + k / 2;
                    const uint8_t i = p.indices[static_cast<size_t>(sy * p.canvas.w + sx)];
                    const Rgb c = p.keyed && i == p.indices[0] ? At(dx + x, dy + y) : PaletteRgb(i);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
                Put(dx + x, dy + y, {r / 4, g / 4, b / 4});
            }
    }
    void Label(const std::string& text, int x, int y) {
        const Mask m = TextMask(text);
        for (int py = 0; py < m.h; ++py)
            for (int px = 0; px < m.w; ++px)
                if (m.At(px, py)) Put(x + px, y + py, {230, 230, 230});
    }
};

const Picture& Find(const std::vector<Picture>& all, const std::string& name) {
    for (const Picture& p : all)
        if (p.name == name) return p;
    return all.front();
}

}  // namespace

bool WriteContactSheet(const std::string& path, const std::vector<Picture>& all) {
    constexpr int kTile = 178, kGap = 12, kLabel = 20;
    Sheet s{kGap + 9 * kTile, 0, {}};
    s.h = 3 * (240 + kLabel + kGap) + 4 * (kSprite + kLabel + kGap) + kGap;
    s.rgb.assign(static_cast<size_t>(s.w * s.h * 3), 40);
    const Picture& back = Find(all, "back.bmp");
    const Picture& fish = Find(all, "fish1.bmp");
    // River behind each keyed tile, cut from the background.
    auto river = [&](int x, int y, int w, int h) {
        for (int py = 0; py < h; ++py)
            for (int px = 0; px < w; ++px)
                s.Put(x + px, y + py, PaletteRgb(back.indices[static_cast<size_t>((200 + py) * kScreenW + 300 + px)]));
    };
    int x = kGap, y = kGap;
    auto next = [&](int width) { x += width + kGap; };
    auto half = [&](const char* name, bool over) {
        if (over) s.DrawHalf(back, x, y);
        s.DrawHalf(Find(all, name), x, y);
        s.Label(name, x, y + 242);
        next(320);
    };
    half("back.bmp", false);
    half("back2.bmp", false);
    half("back3.bmp", false);
    half("opn.bmp", true);
    y += 240 + kLabel + kGap;
    x = kGap;
    half("push.bmp", true);
    river(x, y, 448, 64);
    s.Draw(Find(all, "awa.bmp"), x, y, 4);
    s.Label("awa.bmp (x4)", x, y + 66);
    const char* drift[] = {"syougai1.bmp", "syougai0.bmp", "syougai2.bmp",
                           "syougai4.bmp", "syougai5.bmp", "syougai3.bmp"};
    int dx = x + 460, dy = y;
    for (int i = 0; i < 6; ++i) {
        const Picture& p = Find(all, drift[i]);
        if (i == 2) {
            dx = x;
            dy = y + 100;
        }
        river(dx, dy, p.canvas.w, p.canvas.h);
        s.Draw(p, dx, dy);
        s.Label(drift[i], dx, dy + p.canvas.h + 2);
        dx += std::max(p.canvas.w, 104) + kGap;
    }
    y += 240 + kLabel + kGap;
    // The sprites: each over the river, then as the game stacks them on the fish.
    auto tile = [&](int col, int row, const std::vector<std::string>& layers, const std::string& label) {
        const int tx = kGap + col * kTile, ty = y + row * (kSprite + kLabel + kGap);
        river(tx, ty, kSprite, kSprite);
        for (const std::string& name : layers) s.Draw(Find(all, name), tx, ty);
        s.Label(label, tx, ty + kSprite + 2);
    };
    tile(0, 0, {"fish1.bmp"}, "fish1.bmp");
    tile(1, 0, {"fish2.bmp"}, "fish2.bmp");
    tile(2, 0, {"fisht.bmp"}, "fisht.bmp");
    tile(3, 0, {"fisht.bmp", "fish1.bmp"}, "fisht+fish1");
    std::vector<std::string> all9 = {"fish1.bmp"};
    for (int i = 0; i < 9; ++i) all9.push_back("henge" + std::to_string(i) + ".bmp");
    tile(4, 0, all9, "fish1+henge0-8");
    all9[0] = "fish2.bmp";
    tile(5, 0, all9, "fish2+henge0-8");
    for (int i = 0; i < 9; ++i) {
        const std::string h = "henge" + std::to_string(i) + ".bmp";
        tile(i, 1, {fish.name, h}, h);
        tile(i, 2, {h}, h + " alone");
    }
    const char* moves[] = {"sokodikara", "tomogui", "fait"};
    for (int m = 0; m < 3; ++m)
        for (int p = 1; p <= 3; ++p) {
            const std::string name = std::string(moves[m]) + std::to_string(p) + ".bmp";
            if (m == 0) tile(m * 3 + p - 1, 3, {name, fish.name}, name);
            else tile(m * 3 + p - 1, 3, {fish.name, name}, name);
        }
    // The English forms of the lettered pictures.
    y += 4 * (kSprite + kLabel + kGap);
    x = kGap;
    half("en/opn.bmp", true);
    half("en/push.bmp", true);
    return WritePng(path, s.w, s.h, 3, s.rgb);
}

// The fish at size x size pixels, RGBA: it fills 160x160 of its square,
// scaled to size x size by averaging the opaque pixels of each cell (at
// least one source pixel) and keeping their share as alpha.
static std::vector<uint8_t> DrawIcon(const Picture& fish, int size) {
    constexpr int kFrom = 160, kLeft = 4, kTop = 6;
    std::vector<uint8_t> out(static_cast<size_t>(size * size * 4), 0);
    const auto cell = [&](int i) {
        return std::pair{i * kFrom / size, std::max(i * kFrom / size + 1, (i + 1) * kFrom / size)};
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int r = 0, g = 0, b = 0, n = 0, all = 0;
            const auto [top, bottom] = cell(y);
            const auto [left, right] = cell(x);
            for (int sy = top; sy < bottom; ++sy)
                for (int sx = left; sx < right; ++sx) {
                    ++all;
                    const uint8_t i = fish.indices[static_cast<size_t>((sy + kTop) * fish.canvas.w + sx + kLeft)];
                    if (i == fish.indices[0]) continue;
                    const Rgb c = PaletteRgb(i);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    ++n;
                }
            uint8_t* p = &out[static_cast<size_t>((y * size + x) * 4)];
            if (n) {
                p[0] = static_cast<uint8_t>(r / n);
                p[1] = static_cast<uint8_t>(g / n);
                p[2] = static_cast<uint8_t>(b / n);
                p[3] = static_cast<uint8_t>(n * 255 / all);
            }
        }
    return out;
}

bool WriteIcon(const std::string& path, const Picture& fish, int size) {
    return WritePng(path, size, size, 4, DrawIcon(fish, size));
}

bool WriteMaskableIcon(const std::string& path, const Picture& fish, int size) {
    // A launcher may cut the icon to any shape holding the centred circle of
    // 80 % of its width: the fish's square, 56 % of it, stays inside that
    // circle, over the page's own colour to the edges.
    constexpr uint8_t kBackground[3] = {0x0b, 0x22, 0x33};  // the page's theme-color
    const int inner = size * 56 / 100;
    const int at = (size - inner) / 2;
    const std::vector<uint8_t> drawn = DrawIcon(fish, inner);
    std::vector<uint8_t> out(static_cast<size_t>(size * size * 3));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            uint8_t* p = &out[static_cast<size_t>((y * size + x) * 3)];
            const bool inside = x >= at && x < at + inner && y >= at && y < at + inner;
            const uint8_t* f = inside ? &drawn[static_cast<size_t>(((y - at) * inner + x - at) * 4)] : nullptr;
            for (int c = 0; c < 3; ++c)
                p[c] = f ? static_cast<uint8_t>((f[c] * f[3] + kBackground[c] * (255 - f[3])) / 255) : kBackground[c];
        }
    return WritePng(path, size, size, 3, out);
}

}  // namespace pictures
