// The window's frame: the picture converted at its place, the black around
// it drawn when the place changes, and what to copy to the window.
#include "hosts/core/window_frame.h"

#include <algorithm>
#include <vector>

#include "hosts/core/fit_scale.h"
#include "hosts/core/picture_area.h"

namespace core::window_frame {
namespace {

// After the picture's place may have changed, the whole client is copied
// at every frame for a second: the system may still be putting back what
// the window held before (Wine does, after a resize), over the first copy.
constexpr int kSettleFrames = 60;

struct Last {
    std::vector<uint32_t> client;
    int width = 0;
    int height = 0;
    PictureArea place{};
    bool black = false;  // the black around the place is drawn in the client
    int settle = 0;      // frames the whole client is still to be copied at
};

Last g_last;

void DrawBlack(uint32_t* client, int width, int height, const PictureArea& place) {
    constexpr uint32_t kBlack = 0xFF000000u;
    for (int y = 0; y < height; ++y) {
        uint32_t* row = client + static_cast<ptrdiff_t>(y) * width;
        if (y < place.y || y >= place.y + place.height) {
            std::fill(row, row + width, kBlack);
            continue;
        }
        std::fill(row, row + place.x, kBlack);
        std::fill(row + place.x + place.width, row + width, kBlack);
    }
}

bool SamePlace(const PictureArea& a, const PictureArea& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

}  // namespace

void Repaint() { g_last.settle = kSettleFrames; }

Frame Draw(const uint8_t* pixels, const uint8_t* rgbx, int width, int height, player::options::ScaleMode mode) {
    if (width <= 0 || height <= 0) return Frame{nullptr, 0, 0, Part{0, 0, 0, 0}};
    const PictureArea place = PictureAreaIn(width, height, mode);
    if (width != g_last.width || height != g_last.height || !SamePlace(place, g_last.place)) {
        g_last.client.resize(static_cast<size_t>(width) * height);
        g_last.width = width;
        g_last.height = height;
        g_last.place = place;
        g_last.black = false;
        Repaint();
    }
    uint32_t* client = g_last.client.data();
    if (!g_last.black) DrawBlack(client, width, height, place);
    g_last.black = true;
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i) {
        const uint8_t* entry = rgbx + 4 * i;
        colours[i] = 0xFF000000u | uint32_t{entry[0]} << 16 | uint32_t{entry[1]} << 8 | entry[2];
    }
    ConvertFitted(pixels, colours, place.width, place.height,
                  client + static_cast<ptrdiff_t>(place.y) * width + place.x, width * 4);
    Part part{place.x, place.y, place.width, place.height};
    if (g_last.settle > 0) {
        --g_last.settle;
        part = Part{0, 0, width, height};
    }
    return Frame{client, width, height, part};
}

}  // namespace core::window_frame
