// Lettering for the pictures: the game's own 16-dot text output, trimmed,
// enlarged with rounded diagonals and thickened for outlines.
#include <algorithm>

#include "tools/bmpgen/art.h"
#include "winapi/baked.h"
#include "winapi/cp932.h"
#include "winapi/host.h"
#include "winapi/text.h"

// The game's text asks the seam beneath the Windows room for the font: the
// one call of the seam the lettering makes, answered with the copy built in.
winapi::host::FontTables winapi::host::Font() { return winapi::baked::BuiltIn(); }

namespace art {

Mask TextMask(const std::string& utf8) {
    const std::string bytes = winapi::Utf8ToCp932(utf8);
    const int width = static_cast<int>(bytes.size()) * 8 + 16;
    std::vector<uint8_t> buf(static_cast<size_t>(width * kTextCellHeight), 0);
    const int advance =
        DrawTextCp932(buf.data(), width, kTextCellHeight, width, 0, 0, bytes.data(), static_cast<int>(bytes.size()), 1);
    // Trim to the ink, keeping the full cell height so lines align.
    int x0 = width, x1 = -1;
    for (int y = 0; y < kTextCellHeight; ++y)
        for (int x = 0; x < width; ++x)
            if (buf[static_cast<size_t>(y * width + x)]) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
            }
    Mask m;
    if (x1 < 0 || advance <= 0) return m;
    m.w = x1 - x0 + 1;
    m.h = kTextCellHeight;
    m.on.assign(static_cast<size_t>(m.w * m.h), 0);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            m.on[static_cast<size_t>(y * m.w + x)] = buf[static_cast<size_t>(y * width + x + x0)];
    return m;
}

Mask Scale2x(const Mask& m) {
    Mask o;
    o.w = m.w * 2;
    o.h = m.h * 2;
    o.on.assign(static_cast<size_t>(o.w * o.h), 0);
    for (int y = 0; y < m.h; ++y) {
        for (int x = 0; x < m.w; ++x) {
            const bool p = m.At(x, y), a = m.At(x, y - 1), b = m.At(x + 1, y), c = m.At(x - 1, y), d = m.At(x, y + 1);
            bool e0 = p, e1 = p, e2 = p, e3 = p;
            if (c == a && c != d && a != b) e0 = a;
            if (a == b && a != c && b != d) e1 = b;
            if (d == c && d != b && c != a) e2 = c;
            if (b == d && b != a && d != c) e3 = d;
            const size_t row = static_cast<size_t>(2 * y * o.w), next = row + static_cast<size_t>(o.w);
            o.on[row + static_cast<size_t>(2 * x)] = e0;
            o.on[row + static_cast<size_t>(2 * x + 1)] = e1;
            o.on[next + static_cast<size_t>(2 * x)] = e2;
            o.on[next + static_cast<size_t>(2 * x + 1)] = e3;
        }
    }
    return o;
}

Mask Dilate(const Mask& m, int r) {
    Mask o;
    o.w = m.w + 2 * r;
    o.h = m.h + 2 * r;
    o.on.assign(static_cast<size_t>(o.w * o.h), 0);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (m.At(x, y))
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx)
                        if (dx * dx + dy * dy <= r * r + r / 2)
                            o.on[static_cast<size_t>((y + r + dy) * o.w + x + r + dx)] = 1;
    return o;
}

}  // namespace art
