// The display device: DirectDraw object, 640x480x8 flip chain, clipper on the
// back buffer, the palette on the primary, and the palette read from a bitmap.
#include "display/device.h"

#include <cstdint>
#include <cstdio>
#include <utility>

#include "display/dderror.h"

IDirectDraw* g_dd = nullptr;
IDirectDrawSurface* g_primary = nullptr;
IDirectDrawSurface* g_back = nullptr;
IDirectDrawPalette* g_ddPalette = nullptr;
IDirectDrawClipper* g_clipper = nullptr;
HWND g_errorOwner = nullptr;
PALETTEENTRY g_palette[256];

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
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

uint32_t Read16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p) { return Read16(p) | (Read16(p + 2) << 16); }

// Number of colour-table entries the info header announces: none unless it
// is the 40-byte header of a picture of 8 bits per pixel or fewer.
int ColourCount(const uint8_t info[kInfoHeaderSize]) {
    uint32_t size = Read32(info);
    uint32_t bitCount = Read16(info + 14);
    uint32_t colorsUsed = Read32(info + 32);
    if (size != kInfoHeaderSize || bitCount > 8) return 0;
    uint32_t n = colorsUsed != 0 ? colorsUsed : 1u << bitCount;
    return n < kPaletteEntries ? static_cast<int>(n) : kPaletteEntries;
}

// Reads the colour table at offset 54 (after the 14-byte file header, which
// is not examined, and the 40-byte info header) straight into g_palette: the file's
// blue, green, red, reserved bytes land in peRed, peGreen, peBlue, peFlags,
// and the announced colours are then turned round into red, green, blue.
// Entries past the announced count keep the file's bytes as they are; the
// game's pictures always announce all they hold.
void ReadColourTable(const char* name) {
    FILE* file = OpenGameFile(name, "rb");
    if (file == nullptr) return;
    uint8_t fileHeader[kFileHeaderSize];
    uint8_t info[kInfoHeaderSize] = {};
    size_t headerBytes = std::fread(fileHeader, 1, sizeof fileHeader, file);
    size_t infoBytes = headerBytes == sizeof fileHeader ? std::fread(info, 1, sizeof info, file) : 0;
    size_t tableBytes =
        infoBytes == sizeof info ? std::fread(reinterpret_cast<uint8_t*>(g_palette), 1, sizeof g_palette, file) : 0;
    std::fclose(file);
    // A cut-short file turns round only the entries it supplied whole; the
    // rest stay the default entries they were.
    int colours = infoBytes == sizeof info ? ColourCount(info) : 0;
    int whole = static_cast<int>(tableBytes / sizeof(PALETTEENTRY));
    for (int i = 0; i < colours && i < whole; ++i) std::swap(g_palette[i].peRed, g_palette[i].peBlue);
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
// primary was lost. The palette is set in every case, the default one where
// the file gives nothing.
HRESULT LoadPaletteFromBitmap(const char* name) {
    FillDefaultPalette(g_palette);
    // The game carries no bitmap resources: the lookup always falls through
    // to the file of that name.
    if (name != nullptr && FindResourceA(GetModuleHandleA(nullptr), name, RT_BITMAP) == nullptr) ReadColourTable(name);
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
