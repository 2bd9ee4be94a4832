// DirectDraw as the game uses it: one 640x480x8 flip chain, a clipper, a
// 256-entry palette and off-screen surfaces of palette indices in memory.
#pragma once
#include <cstdint>
#include <vector>

#include "winapi/win.h"

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;   // exclusive
    LONG bottom;  // exclusive
};

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDSURFACEDESC {
    DWORD dwSize;  // must be sizeof(DDSURFACEDESC)
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    void* lpSurface;
    DDSCAPS ddsCaps;
};

// Result codes (the game's error table names them all; these are the ones
// the platform itself returns).
constexpr HRESULT MakeDDResult(int n) { return static_cast<HRESULT>(0x88760000u + static_cast<uint32_t>(n)); }
constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_INVALIDOBJECT = MakeDDResult(130);
constexpr HRESULT DDERR_INVALIDRECT = MakeDDResult(150);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MakeDDResult(212);
constexpr HRESULT DDERR_NOCOLORKEY = MakeDDResult(215);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MakeDDResult(225);
constexpr HRESULT DDERR_SURFACEBUSY = MakeDDResult(430);
constexpr HRESULT DDERR_SURFACELOST = MakeDDResult(450);
constexpr HRESULT DDERR_NODIRECTDRAWHW = MakeDDResult(563);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDDResult(564);
constexpr HRESULT DDERR_NOTFLIPPABLE = MakeDDResult(582);
constexpr HRESULT DDERR_NOTLOCKED = MakeDDResult(584);
constexpr HRESULT DDERR_UNSUPPORTEDMODE = MakeDDResult(590);
constexpr HRESULT DDERR_DCALREADYCREATED = MakeDDResult(620);

constexpr DWORD DDSCL_FULLSCREEN = 0x01;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x02;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;
constexpr DWORD DDSCL_ALLOWMODEX = 0x40;

constexpr DWORD DDSD_CAPS = 0x01;
constexpr DWORD DDSD_HEIGHT = 0x02;
constexpr DWORD DDSD_WIDTH = 0x04;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;

constexpr DWORD DDSCAPS_BACKBUFFER = 0x004;
constexpr DWORD DDSCAPS_COMPLEX = 0x008;
constexpr DWORD DDSCAPS_FLIP = 0x010;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x040;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;

constexpr DWORD DDPCAPS_8BIT = 0x04;
constexpr DWORD DDPCAPS_ALLOW256 = 0x40;

constexpr DWORD DDCKEY_SRCBLT = 0x08;
constexpr DWORD DDLOCK_WAIT = 0x01;
constexpr DWORD DDBLT_KEYSRC = 0x8000;
constexpr DWORD DDBLT_WAIT = 0x1000000;
constexpr DWORD DDFLIP_WAIT = 0x01;

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

class IDirectDrawClipper;
class IDirectDrawPalette;

// A surface of 8-bit palette indices. Created with one reference.
class IDirectDrawSurface {
public:
    ULONG AddRef();
    ULONG Release();
    // Copies src's rectangle into dest's, stretching when the sizes differ.
    // With a clipper the destination is cut at the surface's edges and the
    // source by the same amount; DDBLT_KEYSRC skips source pixels equal to
    // the source's colour key.
    HRESULT Blt(RECT* destRect, IDirectDrawSurface* src, RECT* srcRect, DWORD flags, void* fx);
    // Primary only: the back buffer becomes the visible picture.
    HRESULT Flip(IDirectDrawSurface* override, DWORD flags);
    HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** out);
    HRESULT SetClipper(IDirectDrawClipper* clipper);
    HRESULT SetPalette(IDirectDrawPalette* palette);
    HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key);
    HRESULT GetDC(HDC* dc);  // the surface is busy until ReleaseDC
    HRESULT ReleaseDC(HDC dc);
    HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event);
    HRESULT Unlock(void* rect);
    HRESULT IsLost();   // DDERR_SURFACELOST when lost, else DD_OK
    HRESULT Restore();  // keeps size and colour key, not the pixels

private:
    friend struct SurfaceAccess;  // the platform's own access to the pixels
    IDirectDrawSurface(int width, int height);
    ~IDirectDrawSurface();

    ULONG refs_ = 1;
    int width_;
    int height_;
    std::vector<uint8_t> pixels_;  // width_ * height_, rows top-down, pitch = width_
    bool hasColorKey_ = false;
    uint8_t colorKey_ = 0;
    bool lost_ = false;
    bool locked_ = false;
    HDC dc_ = nullptr;
    bool primary_ = false;
    IDirectDrawSurface* back_ = nullptr;   // primary: its back buffer
    IDirectDrawSurface* front_ = nullptr;  // back buffer: its primary
    IDirectDrawClipper* clipper_ = nullptr;
    IDirectDrawPalette* palette_ = nullptr;
    uint32_t version_ = 0;  // bumped whenever the pixels may have changed
};

class IDirectDrawClipper {
public:
    ULONG AddRef();
    ULONG Release();
    HRESULT SetHWnd(DWORD flags, HWND window);

private:
    friend struct SurfaceAccess;
    IDirectDrawClipper() = default;
    ULONG refs_ = 1;
    HWND window_ = nullptr;
};

class IDirectDrawPalette {
public:
    ULONG AddRef();
    ULONG Release();
    HRESULT SetEntries(DWORD flags, DWORD first, DWORD count, const PALETTEENTRY* entries);
    HRESULT GetEntries(DWORD flags, DWORD first, DWORD count, PALETTEENTRY* entries);

private:
    friend struct SurfaceAccess;
    IDirectDrawPalette() = default;
    ULONG refs_ = 1;
    PALETTEENTRY entries_[256] = {};
};

class IDirectDraw {
public:
    ULONG AddRef();
    ULONG Release();  // the last release ends the display
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel);
    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, void* outer);
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** out, void* outer);
    HRESULT CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** out, void* outer);

private:
    friend struct SurfaceAccess;
    friend HRESULT DirectDrawCreate(void*, IDirectDraw**, void*);
    IDirectDraw() = default;
    ULONG refs_ = 1;
    HWND window_ = nullptr;
    bool exclusive_ = false;
    bool modeSet_ = false;
    IDirectDrawSurface* primary_ = nullptr;
};

// Opens the display (the player's window, or the headless screen).
HRESULT DirectDrawCreate(void* driverGuid, IDirectDraw** out, void* outer);
