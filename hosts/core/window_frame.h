// The picture as a window shows it, for a driver that copies 32-bit pixels
// to its window 1:1: the whole client as pixels (the picture at its place,
// fitted or by whole factors, the black around it), and the part of it to
// copy this frame.
#pragma once
#include <cstdint>

#include "player/options.h"

namespace core::window_frame {

// A rectangle of the client, in its pixels.
struct Part {
    int x, y, width, height;
};

// The client as 32-bit pixels (0xFFRRGGBB: blue, green, red, then 0xFF in
// memory), rows top-down and `width` pixels apart, and the part of it to
// copy to the window this frame.
struct Frame {
    const uint32_t* pixels;
    int width;
    int height;
    Part part;
};

// Draws the picture `pixels` through `rgbx` (its palette: red, green, blue
// and a byte unused for each of the 256 entries, as PALETTEENTRY lays them
// out, so that a driver speaking Win32 may pass its own) into a client of
// width x height, at core::PictureAreaIn's place. The black around it is
// drawn, and the whole client is the part to copy, when the client or the
// place differs from the last frame's, and for a second after (the system
// may put the window's old pixels back a little after a resize); else the
// picture's place alone. The pixels stay the frame's until the next Draw.
Frame Draw(const uint8_t* pixels, const uint8_t* rgbx, int width, int height, player::options::ScaleMode mode);

// The whole client is to be copied again, for a second: the system may have
// lost the window's pixels (a paint, a mode or display change).
void Repaint();

}  // namespace core::window_frame
