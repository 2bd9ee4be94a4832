// The display device: DirectDraw object, 640x480x8 flip chain, clipper on the
// back buffer, the palette on the primary, and the palette read from a bitmap.
#include "display/device.h"

#include <cstdio>
#include <vector>

#include "display/dderror.h"
#include "winapi/gdi.h"

IDirectDraw* g_dd = nullptr;
IDirectDrawSurface* g_primary = nullptr;
IDirectDrawSurface* g_back = nullptr;
IDirectDrawPalette* g_ddPalette = nullptr;
IDirectDrawClipper* g_clipper = nullptr;
HWND g_errorOwner = nullptr;
PALETTEENTRY g_palette[256];

namespace {

constexpr int kPaletteEntries = 256;

// Releases a DirectDraw object if there is one and empties its holder.
template <typename T>
void ReleaseHandle(T** handle) {
    if (*handle != nullptr) {
        (*handle)->Release();
        *handle = nullptr;
    }
}

// One failed step of InitDirectDraw: everything made so far goes, the
// clipper and palette included, so a failed start leaves nothing behind.
int FailInit(const char* label, HRESULT code) {
    ReportDDError(label, code);
    ReleaseDirectDraw();
    return 0;
}

}  // namespace

// Called once by WinMain after the window exists and has the focus.
int InitDirectDraw() {
    g_errorOwner = GetActiveWindow();
    HRESULT hr = DirectDrawCreate(nullptr, &g_dd, nullptr);
    if (hr != DD_OK) return FailInit("DirectDrawCreate", hr);
    hr = g_dd->SetCooperativeLevel(g_errorOwner,
                                   DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX);
    if (hr != DD_OK) return FailInit("SetCooperativeLevel", hr);
    hr = g_dd->SetDisplayMode(kScreenWidth, kScreenHeight, 8);
    if (hr != DD_OK) return FailInit("SetDisplayMode", hr);

    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    hr = g_dd->CreateSurface(&desc, &g_primary, nullptr);
    if (hr != DD_OK) return FailInit("CreateSurface", hr);
    DDSCAPS backCaps{DDSCAPS_BACKBUFFER};
    hr = g_primary->GetAttachedSurface(&backCaps, &g_back);
    if (hr != DD_OK) return FailInit("GetAttachedSurface", hr);

    hr = g_dd->CreateClipper(0, &g_clipper, nullptr);
    if (hr != DD_OK) return FailInit("CreateClipper", hr);
    hr = g_clipper->SetHWnd(0, g_errorOwner);
    if (hr != DD_OK) return FailInit("SetHWnd", hr);
    // On the back buffer, where every picture is drawn, not on the primary.
    hr = g_back->SetClipper(g_clipper);
    if (hr != DD_OK) return FailInit("SetClipper", hr);

    FillDefaultPalette(g_palette);
    hr = g_dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, g_palette, &g_ddPalette, nullptr);
    if (hr != DD_OK) return FailInit("CreatePalette", hr);
    hr = g_primary->SetPalette(g_ddPalette);
    if (hr != DD_OK) return FailInit("SetPalette", hr);
    return 1;
}

// Called by LoadAssets with "bmp\\back.bmp" and by RestoreSurfaces after the
// primary was lost. The palette is set in every case: the default one where
// there is no picture to read, the one it had where the picture has no table.
HRESULT LoadPaletteFromBitmap(const char* name) {
    // The game carries no bitmap resources: the lookup always falls through
    // to the file of that name.
    int bits = 0;
    std::vector<PALETTEENTRY> table;
    const bool found = name != nullptr && FindResourceA(GetModuleHandleA(nullptr), name, RT_BITMAP) == nullptr &&
                       ReadBitmapColourTable(name, &bits, &table);
    if (found && table.empty()) {
        std::fprintf(stderr, "kawauo: %s has no colour table (%d bits a pixel); the palette stays as it was\n", name,
                     bits);
    } else {
        FillDefaultPalette(g_palette);
        for (size_t i = 0; i < table.size(); ++i) g_palette[i] = table[i];  // at most 256
    }
    if (g_ddPalette == nullptr) return DDERR_INVALIDOBJECT;
    return g_ddPalette->SetEntries(0, 0, kPaletteEntries, g_palette);
}

// Reverse order of creation. The back buffer goes with the primary; giving
// up the DirectDraw object ends the exclusive mode.
void ReleaseDirectDraw() {
    ReleaseHandle(&g_clipper);
    ReleaseHandle(&g_ddPalette);
    ReleaseHandle(&g_primary);
    g_back = nullptr;
    ReleaseHandle(&g_dd);
}
