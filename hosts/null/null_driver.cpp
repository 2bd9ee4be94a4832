// The null driver: the least a driver does, and where a new one starts.
// Every entry the core needs is filled, each doing the least that keeps
// the contract of core/driver.h, with where a port's own work goes; the
// rest of the table stays null and the core does without it.
#include <cstdio>

#include "hosts/core/driver.h"
#include "winapi/baked.h"

namespace {

// A port asks its system for the desktop's size; left alone, 640x480.
void DesktopSize(int*, int*) {}

// A port makes its window or canvas for 640x480 pictures here, and returns
// false when the system has no display to give (the game then says so).
bool Open(const core::WindowWish&) { return true; }

// A port releases what Open made; message boxes may still follow.
void Close() {}

// A port converts the indices through the palette (core/argb.h), placed by
// core::PictureAreaIn, shows them and waits for its 60 Hz deadline; the null
// driver runs as fast as the game can.
void Present(const uint8_t*, const PALETTEENTRY[256]) {}

// A port hands each event of its system to core::Hear: keys by name, pads
// by role, the focus, a close request. The null driver's system says nothing.
void Pump() {}

// A port shows a box with one OK button until it is answered.
void ShowBox(const char* caption, const char* text) { std::fprintf(stderr, "%s: %s\n", caption, text); }

constexpr core::Driver kDriver{
    .desktopSize = DesktopSize,
    .open = Open,
    .close = Close,
    .present = Present,
    .pump = Pump,
    .showBox = ShowBox,
    // A port carries the font in the program, as every desktop does (its
    // CMakeLists.txt links kawauo_baked_font); the browser's fetches it.
    .font = winapi::baked::BuiltIn,
};

}  // namespace

const core::Driver& core::TheDriver() { return kDriver; }
