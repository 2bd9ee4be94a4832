// Inside DirectDraw's surfaces, for the stand-in's own files (GDI's copies
// and text, the blits) and for tests that read pixels back: the pixels, size
// and lost state of a surface, and ddraw.cpp's hooks between its objects.
#pragma once
#include <cstdint>

#include "winapi/ddraw.h"

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

namespace winapi {

// Marks every live surface lost (the headless host's "lose").
void LoseAllSurfaces();

// Device contexts on surfaces, made by GetDC and ended by ReleaseDC (gdi.cpp).
HDC CreateSurfaceDC(IDirectDrawSurface* surface);
void DeleteSurfaceDC(HDC dc);

}  // namespace winapi
