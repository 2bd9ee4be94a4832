// The picture last shown, kept for the player's F12 (a driver that takes
// screenshots) and for the shots of a script run on the page.
#pragma once
#include <cstdint>
#include <vector>

#include "winapi/ddraw.h"

namespace core {

struct Shown {
    std::vector<uint8_t> pixels;  // 640x480 palette indices, rows top-down
    PALETTEENTRY palette[256] = {};
};

// From now on every picture shown is kept (the driver's screenshots keep
// them from the start).
void KeepEveryPicture();
// Called with every picture shown.
void NoteShown(const uint8_t* pixels, const PALETTEENTRY palette[256]);
// The picture last kept; null before the first.
const Shown* LastShown();

// F12 of a driver with screenshots (its Driver::screenshot): the picture
// last shown, copied here and saved by the core's writer as a screenshot
// (player/screenshot.h says where and how); nothing before the first.
void TakeScreenshot();

}  // namespace core
