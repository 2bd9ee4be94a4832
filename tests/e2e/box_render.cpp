// Writes the missing picture's message box, as the SDL host draws it in the
// game's font, to a PNG file: what the e2e test expects on the screen.
#include <cstdio>
#include <string>

#include "display/texts.h"
#include "hosts/core/box_picture.h"
#include "player/png_write.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: box_render OUT.png\n");
        return 2;
    }
    const core::box::Picture picture =
        core::box::Draw(std::string(kTextCreateFailedCaption), std::string(kTextCreateFailed));
    PALETTEENTRY palette[256]{};
    for (size_t i = 0; i < core::box::kColours.size(); ++i)
        palette[i] = PALETTEENTRY{core::box::kColours[i].r, core::box::kColours[i].g, core::box::kColours[i].b, 0};
    std::string why;
    if (!player::WritePalettePng(argv[1], picture.pixels.data(), picture.width, picture.height, palette, &why)) {
        std::fprintf(stderr, "box_render: %s\n", why.c_str());
        return 1;
    }
    return 0;
}
