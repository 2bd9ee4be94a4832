// Where a host shows the 640x480 picture in its window or screen, the one
// rule every host letterboxes by, and the size of a window nobody sized.
#pragma once
#include <algorithm>

#include "player/options.h"

namespace core {

struct PictureArea {
    int x, y, width, height;
};

// 4:3 and centred, the rest black: by whole factors when it fits (kInteger),
// or as large as the output allows (kFit); shrunk when the output is smaller.
constexpr PictureArea PictureAreaIn(int outputWidth, int outputHeight, player::options::ScaleMode mode) {
    constexpr int kWidth = 640, kHeight = 480;
    int scale = std::min(outputWidth / kWidth, outputHeight / kHeight);
    int w = 0, h = 0;
    if (scale >= 1 && mode == player::options::ScaleMode::kInteger) {
        w = kWidth * scale;
        h = kHeight * scale;
    } else if (outputWidth * 3 <= outputHeight * 4) {
        w = outputWidth;
        h = outputWidth * 3 / 4;
    } else {
        h = outputHeight;
        w = outputHeight * 4 / 3;
    }
    return PictureArea{(outputWidth - w) / 2, (outputHeight - h) / 2, w, h};
}

// The window a player gets who has not sized one, by the room the desktop
// leaves its client (the work area less the window's frame): the largest
// whole multiple of the picture that fits; where even twice the picture does
// not fit and fit smooths (a 1366x768 screen), the largest 4:3 size that
// fits instead; never smaller than the picture.
constexpr PictureArea DefaultWindowIn(int roomWidth, int roomHeight, player::options::ScaleMode mode) {
    constexpr int kWidth = 640, kHeight = 480;
    const int scale = std::max(1, std::min(roomWidth / kWidth, roomHeight / kHeight));
    if (scale >= 2 || mode == player::options::ScaleMode::kInteger)
        return PictureArea{0, 0, kWidth * scale, kHeight * scale};
    const PictureArea fitted = PictureAreaIn(roomWidth, roomHeight, mode);
    return fitted.width >= kWidth ? PictureArea{0, 0, fitted.width, fitted.height} : PictureArea{0, 0, kWidth, kHeight};
}

// The window a player gets in that room: the size they left it (0 by 0:
// none) where it still fits, else the window nobody sized.
constexpr PictureArea WindowIn(int roomWidth, int roomHeight, int leftWidth, int leftHeight,
                               player::options::ScaleMode mode) {
    if (leftWidth > 0 && leftWidth <= roomWidth && leftHeight > 0 && leftHeight <= roomHeight)
        return PictureArea{0, 0, leftWidth, leftHeight};
    return DefaultWindowIn(roomWidth, roomHeight, mode);
}

}  // namespace core
