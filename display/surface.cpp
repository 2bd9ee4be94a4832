// Bitmap surfaces (loaded from BMP files, colour-keyed by their top-left
// pixel) and the blits and text output every picture and line goes through.
#include "display/surface.h"

#include <cstring>
#include <limits>

#include "display/dderror.h"
#include "display/device.h"
#include "display/texts.h"
#include "winapi/gdi.h"

namespace {

// How many times DrawString asks for the back buffer's device context before
// it gives up on that line. A busy back buffer is free again at once on this
// single thread, so a handful of asks covers it; a lost one (the game in the
// background, frames still running) costs no more than this per line.
constexpr int kGetDCAttempts = 16;

// A bitmap selected into a memory device context, ready to be copied.
struct LoadedBitmap {
    HBITMAP bitmap;
    HDC memoryDC;
    HGDIOBJ previous;
    int width;
    int height;
};

// The first steps of creating and of reloading a surface: the bitmap as a
// resource of the program (it has none), else as a file. False, with nothing
// made and nothing reported, when neither exists.
bool LoadBitmap(const char* name, LoadedBitmap* out) {
    HANDLE image = LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (image == nullptr) image = LoadImageA(nullptr, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE);
    if (image == nullptr) return false;
    out->bitmap = static_cast<HBITMAP>(image);
    out->memoryDC = CreateCompatibleDC(nullptr);
    out->previous = SelectObject(out->memoryDC, out->bitmap);
    BITMAP info{};
    GetObjectA(out->bitmap, sizeof info, &info);
    out->width = info.bmWidth;
    out->height = info.bmHeight;
    return true;
}

void FreeBitmap(const LoadedBitmap& loaded) {
    SelectObject(loaded.memoryDC, loaded.previous);
    DeleteDC(loaded.memoryDC);
    DeleteObject(loaded.bitmap);
}

// Copies the bitmap 1:1 to the surface's top-left corner, each colour matched
// to the palette. The sizes are not compared: a larger bitmap is cut at the
// surface's edges, a smaller one leaves the rest of the surface as it was.
void CopyBitmap(HDC surfaceDC, const LoadedBitmap& loaded) {
    StretchBlt(surfaceDC, 0, 0, loaded.width, loaded.height, loaded.memoryDC, 0, 0, loaded.width, loaded.height,
               SRCCOPY);
}

// x + w as a rectangle edge, held at the ends of the 32-bit range rather than
// wrapped round, so that no coordinates can bring a far-off rectangle back
// onto the surface.
LONG Edge(int32_t start, int32_t extent) {
    int64_t edge = int64_t{start} + extent;
    if (edge > std::numeric_limits<LONG>::max()) return std::numeric_limits<LONG>::max();
    if (edge < std::numeric_limits<LONG>::min()) return std::numeric_limits<LONG>::min();
    return static_cast<LONG>(edge);
}

HRESULT Blit(IDirectDrawSurface* dest, int32_t x, int32_t y, int32_t w, int32_t h, IDirectDrawSurface* src, int32_t sx,
             int32_t sy, int32_t sw, int32_t sh, DWORD flags) {
    RECT destRect{x, y, Edge(x, w), Edge(y, h)};
    RECT srcRect{sx, sy, Edge(sx, sw), Edge(sy, sh)};
    return dest->Blt(&destRect, src, &srcRect, flags, nullptr);
}

}  // namespace

// Called by RegisterSurface. The new surface is the bitmap's size, and its
// source colour key is the palette index of its top-left pixel. A failure
// after the report gives back everything made so far.
IDirectDrawSurface* DDCreateSurface(const char* name) {
    LoadedBitmap loaded;
    if (!LoadBitmap(name, &loaded)) return nullptr;

    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = static_cast<DWORD>(loaded.width);
    desc.dwHeight = static_cast<DWORD>(loaded.height);
    IDirectDrawSurface* surface = nullptr;
    HRESULT hr = g_dd->CreateSurface(&desc, &surface, nullptr);
    if (hr != DD_OK) {
        ReportDDError(kTextLabelOffscreenCreateSurface, hr);
        FreeBitmap(loaded);
        return nullptr;
    }
    HDC surfaceDC = nullptr;
    hr = surface->GetDC(&surfaceDC);
    if (hr != DD_OK) {
        ReportDDError("DDCreateSurface() : GetDC", hr);
        FreeBitmap(loaded);
        surface->Release();
        return nullptr;
    }
    CopyBitmap(surfaceDC, loaded);
    surface->ReleaseDC(surfaceDC);
    FreeBitmap(loaded);

    hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (hr != DD_OK) {
        ReportDDError("Lock", hr);
        surface->Release();
        return nullptr;
    }
    // Only the first byte: a surface narrower than four pixels has no whole
    // 32-bit word to read.
    uint8_t keyIndex = *static_cast<const uint8_t*>(desc.lpSurface);
    DDCOLORKEY key{keyIndex, keyIndex};
    surface->SetColorKey(DDCKEY_SRCBLT, &key);
    surface->Unlock(nullptr);
    return surface;
}

// Called by RestoreSurfaces after a loss: the bitmap is drawn again; the
// surface keeps the colour key it was given at creation.
int DDReLoadSurface(IDirectDrawSurface* surface, const char* name) {
    LoadedBitmap loaded;
    if (!LoadBitmap(name, &loaded)) return 0;
    HDC surfaceDC = nullptr;
    HRESULT hr = surface->GetDC(&surfaceDC);
    if (hr != DD_OK) {
        ReportDDError("DDReLoadSurface() : GetDC", hr);
        FreeBitmap(loaded);
        return 0;
    }
    CopyBitmap(surfaceDC, loaded);
    surface->ReleaseDC(surfaceDC);
    FreeBitmap(loaded);
    return 1;
}

// Every pixel of the source rectangle, stretched when the sizes differ.
HRESULT BltStretch(IDirectDrawSurface* dest, int32_t x, int32_t y, int32_t w, int32_t h, IDirectDrawSurface* src,
                   int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
    return Blit(dest, x, y, w, h, src, sx, sy, sw, sh, DDBLT_WAIT);
}

// Source pixels of the source's colour-key index are skipped.
HRESULT BltKeyed(IDirectDrawSurface* dest, int32_t x, int32_t y, int32_t w, int32_t h, IDirectDrawSurface* src,
                 int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
    return Blit(dest, x, y, w, h, src, sx, sy, sw, sh, DDBLT_WAIT | DDBLT_KEYSRC);
}

// One line of CP932 text on the back buffer, (x, y) the top-left of its first
// cell, over a transparent background.
void DrawString(int32_t x, int32_t y, const char* text, COLORREF colour) {
    if (g_back == nullptr || text == nullptr) return;
    HDC dc = nullptr;
    int attempt = 0;
    while (g_back->GetDC(&dc) != DD_OK) {
        if (++attempt == kGetDCAttempts) return;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
    g_back->ReleaseDC(dc);
}
