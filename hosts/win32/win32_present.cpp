// The Win32 driver's picture in its window: converted by the core into a DIB
// section at the picture's place in the window (fit's smooth step done by
// our own conversion, never by GDI's stretching) and copied there 1:1; the
// black around it painted whenever the picture's place may have changed.
#include "hosts/win32/win32_present.h"

#include <cstring>
#include <vector>

#include "hosts/core/fit_scale.h"
#include "hosts/core/picture_area.h"

namespace {

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;
// After the picture's place may have changed, the black is painted again at
// every frame for a second: the system may still be putting back what the
// window held before (Wine does, after a resize), over the first painting.
constexpr int kBarsSettleFrames = 60;

// The converted picture: 32-bit pixels (blue, green, red, unused in memory,
// as 0xFFRRGGBB reads), rows top-down, of the picture's size in the window.
struct Section {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ former = nullptr;  // the DC's own bitmap, put back before it goes
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

struct Presenter {
    player::options::ScaleMode scale = player::options::ScaleMode::kFit;
    uint32_t colours[256] = {};
    std::vector<uint8_t> picture = std::vector<uint8_t>(size_t{kPictureWidth} * kPictureHeight);
    Section section;
    // Where the black was last painted around: a change of either paints it again.
    RECT client{};
    RECT place{};
    int barsFrames = kBarsSettleFrames;  // frames the black is still to be painted at
};

Presenter g_present;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

void FreeSection() {
    Section& s = g_present.section;
    if (s.dc != nullptr) {
        SelectObject(s.dc, s.former);
        DeleteDC(s.dc);
    }
    if (s.bitmap != nullptr) DeleteObject(s.bitmap);
    s = Section{};
}

// The section at `width` x `height`, made again only when the size changes;
// null when it cannot be had.
const Section* SectionOf(HDC dc, int width, int height) {
    Section& s = g_present.section;
    if (s.dc != nullptr && s.width == width && s.height == height) return &s;
    FreeSection();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    s.bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    s.dc = CreateCompatibleDC(dc);
    if (s.bitmap == nullptr || s.dc == nullptr || bits == nullptr) {
        FreeSection();
        return nullptr;
    }
    s.former = SelectObject(s.dc, s.bitmap);
    s.pixels = static_cast<uint32_t*>(bits);
    s.width = width;
    s.height = height;
    return &s;
}

// The black around the picture, in the four bands it leaves of the client.
void PaintBars(HDC dc, const RECT& client, const RECT& place) {
    auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT bars[] = {{0, 0, client.right, place.top},
                         {0, place.bottom, client.right, client.bottom},
                         {0, place.top, place.left, place.bottom},
                         {place.right, place.top, client.right, place.bottom}};
    for (const RECT& bar : bars)
        if (Width(bar) > 0 && Height(bar) > 0) FillRect(dc, &bar, black);
}

}  // namespace

namespace win32::present {

void BarsStale() { g_present.barsFrames = kBarsSettleFrames; }

void UseScaleMode(player::options::ScaleMode mode) {
    g_present.scale = mode;
    BarsStale();
}

void Keep(const uint8_t* pixels, const uint8_t* rgbx) {
    for (int i = 0; i < 256; ++i) {
        const uint8_t* entry = rgbx + 4 * i;
        g_present.colours[i] = 0xFF000000u | uint32_t{entry[0]} << 16 | uint32_t{entry[1]} << 8 | entry[2];
    }
    std::memcpy(g_present.picture.data(), pixels, g_present.picture.size());
}

void Draw(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    if (Width(client) <= 0 || Height(client) <= 0) return;  // minimised
    const core::PictureArea area = core::PictureAreaIn(Width(client), Height(client), g_present.scale);
    const RECT place{area.x, area.y, area.x + area.width, area.y + area.height};
    if (!Same(client, g_present.client) || !Same(place, g_present.place)) {
        g_present.client = client;
        g_present.place = place;
        BarsStale();
    }
    if (g_present.barsFrames > 0) {
        PaintBars(dc, client, place);
        --g_present.barsFrames;
    }
    const Section* section = SectionOf(dc, area.width, area.height);
    if (section == nullptr) return;
    core::ConvertFitted(g_present.picture.data(), g_present.colours, area.width, area.height, section->pixels,
                        area.width * 4);
    GdiFlush();  // the section's pixels are GDI's again
    BitBlt(dc, area.x, area.y, area.width, area.height, section->dc, 0, 0, SRCCOPY);
}

void Free() { FreeSection(); }

}  // namespace win32::present
