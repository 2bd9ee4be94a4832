// The player's screenshots: the folder they go to and the file each one is
// written to, the same on every desktop host.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "player/screenshot_folder.h"
#include "winapi/ddraw.h"

namespace player::screenshot {

// Palette indices, rows top-down, and the 256 colours they index.
struct Picture {
    const uint8_t* pixels;
    int width;
    int height;
    const PALETTEENTRY* palette;
};

// Writes `picture` as a palette PNG into `folder` (made when missing), named
// kawauo-YYYYMMDD-HHMMSS.png by the local time `when`, else the first free
// of -2, -3...: never over a file or through a link that holds the name, and
// whole or not at all. *path is the file written; false with *why.
bool Save(const std::string& folder, std::time_t when, const Picture& picture, std::string* path, std::string* why);

// Folder, then Save at this moment, told on standard error:
// "kawauo: screenshot PATH" or "kawauo: no screenshot: WHY", where WHY names
// the file or folder and what went wrong, or says no home folder is known.
void Take(const Picture& picture);

}  // namespace player::screenshot
