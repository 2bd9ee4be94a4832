// The game's message box as a picture: a caption bar, the text in lines, an
// OK button, drawn in the game's own font so that it reads on any system.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace core::box {

// Palette indices of the box's picture, and their colours.
enum Colour : uint8_t { kFace, kInk, kCaptionBar, kCaptionInk, kLight, kShadow, kColourCount };
struct Rgb {
    uint8_t r, g, b;
};
constexpr std::array<Rgb, kColourCount> kColours = {{{0xC0, 0xC0, 0xC0},
                                                     {0x00, 0x00, 0x00},
                                                     {0x00, 0x00, 0x80},
                                                     {0xFF, 0xFF, 0xFF},
                                                     {0xFF, 0xFF, 0xFF},
                                                     {0x80, 0x80, 0x80}}};

constexpr int kMinWidth = 240;
constexpr int kMaxWidth = 600;  // longer lines are wrapped
constexpr int kMargin = 12;
constexpr int kCaptionHeight = 20;
constexpr int kLineHeight = 18;

struct Rect {
    int x, y, w, h;
    bool Holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // Colour indices, rows top-down, `width` apart
    Rect text{};                  // where the lines are
    Rect button{};
};

// The text's lines (CP932) as the box shows them: split at line breaks, the
// last empty ones dropped, and each wrapped to `maxWidth` pixels, at a space
// where there is one, never inside a character.
std::vector<std::string> Lines(const std::string& text, int maxWidth);

// The box for a caption and a text, both CP932, sized to hold them.
Picture Draw(const std::string& caption, const std::string& text);

}  // namespace core::box
