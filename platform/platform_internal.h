// What the platform's own files share with each other (and with tools that
// draw pictures): pixels of surfaces, the display palette, colour matching,
// CP932 conversion. The game never includes this.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ddraw.h"

struct SurfaceAccess {
    static uint8_t* Pixels(IDirectDrawSurface* s) { return s->pixels_.data(); }
    static int Width(const IDirectDrawSurface* s) { return s->width_; }
    static int Height(const IDirectDrawSurface* s) { return s->height_; }
    static bool Lost(const IDirectDrawSurface* s) { return s->lost_; }
    static void Touch(IDirectDrawSurface* s) { ++s->version_; }

    // ddraw.cpp's own hooks: the objects' private constructors and the state
    // that one object's methods keep about another.
    static IDirectDrawSurface* NewSurface(int width, int height) { return new IDirectDrawSurface(width, height); }
    static IDirectDrawClipper* NewClipper() { return new IDirectDrawClipper(); }
    static IDirectDrawPalette* NewPalette() { return new IDirectDrawPalette(); }
    static void Chain(IDirectDrawSurface* primary, IDirectDrawSurface* back) {
        primary->primary_ = true;
        primary->back_ = back;
        back->front_ = primary;
    }
    static void Lose(IDirectDrawSurface* s) { s->lost_ = true; }
    static PALETTEENTRY* Entries(IDirectDrawPalette* p) { return p->entries_; }
    static IDirectDrawPalette* Palette(const IDirectDrawSurface* s) { return s->palette_; }
};

namespace platform {

// The palette attached to the primary surface, which GDI matches colours
// against; the default 3-3-2 palette when there is none.
const PALETTEENTRY* DisplayPalette();
// Index of the first entry nearest to (r, g, b) by squared distance.
uint8_t NearestIndex(const PALETTEENTRY palette[256], uint8_t r, uint8_t g, uint8_t b);

// Texts drawn by TextOutA get a one-pixel edge in the palette's colour
// nearest to black (--outline), chosen by the host before WinMain.
void UseTextOutline(bool on);
// Marks every live surface lost (the headless host's "lose").
void LoseAllSurfaces();
// Window, queue and key state back to program start (headless::Reset).
void ResetWindowState();

// CP932 <-> UTF-8 as glibc iconv converts; undecodable bytes become U+FFFD / '?'.
std::string Cp932ToUtf8(const char* text, size_t length);
std::string Utf8ToCp932(const std::string& text);

// The game's "bmp\\name.bmp" as a path for this system.
std::string NativePath(const char* name);

}  // namespace platform

namespace platform {

// Device contexts on surfaces, made by GetDC and ended by ReleaseDC.
HDC CreateSurfaceDC(IDirectDrawSurface* surface);
void DeleteSurfaceDC(HDC dc);
// Title of a window made by CreateWindowExA ("" for none).
const char* WindowTitle(HWND window);

// The 640x480 picture `pixels` through `palette` as opaque ARGB8888 (0xFFRRGGBB)
// into `target`, whose rows are `pitch` bytes apart: what a host presents.
void ConvertToArgb(const uint8_t* pixels, const PALETTEENTRY palette[256], void* target, int pitch);
// The same picture through `colours` (its palette as the target's own pixels),
// each of its pixels a square `scale` pixels wide; `target` is where the
// picture's top-left corner goes. Nothing outside the picture is written.
void ConvertScaled(const uint8_t* pixels, const uint32_t colours[256], int scale, void* target, int pitch);

}  // namespace platform
