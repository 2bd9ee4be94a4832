// The message box's picture: layout, lines and drawing, with no window.
#include "hosts/core/box_picture.h"

#include <algorithm>

#include "winapi/baked.h"
#include "winapi/text.h"

namespace core::box {
namespace {

constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr char kButtonLabel[] = "OK";

int Width(const std::string& text, size_t from, size_t to) {
    return DrawTextCp932(nullptr, 0, 0, 0, 0, 0, text.data() + from, static_cast<int>(to - from), 0);
}

// Bytes of the character at `at`: a lead byte with its trail byte is one.
size_t CharLength(const std::string& text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const bool pair = at + 1 < text.size() && winapi::baked::IsLeadByte(lead) &&
                      winapi::baked::IsTrailByte(static_cast<unsigned char>(text[at + 1]));
    return pair ? 2 : 1;
}

void Wrap(const std::string& line, int maxWidth, std::vector<std::string>* out) {
    size_t start = 0;
    while (Width(line, start, line.size()) > maxWidth) {
        size_t end = start, space = 0;
        while (end < line.size()) {
            size_t next = end + CharLength(line, end);
            if (Width(line, start, next) > maxWidth) break;
            if (line[end] == ' ') space = end;
            end = next;
        }
        if (end == start) end += CharLength(line, end);  // a character wider than the box
        else if (line[end] != ' ' && space > start) end = space;
        out->push_back(line.substr(start, end - start));
        start = end;
        while (start < line.size() && line[start] == ' ') ++start;
    }
    out->push_back(line.substr(start));
}

void Fill(Picture* p, Rect r, uint8_t colour) {
    for (int y = std::max(0, r.y); y < std::min(p->height, r.y + r.h); ++y)
        for (int x = std::max(0, r.x); x < std::min(p->width, r.x + r.w); ++x)
            p->pixels[static_cast<size_t>(y * p->width + x)] = colour;
}

// A raised edge: light above and left, shadow below and right.
void Bevel(Picture* p, Rect r) {
    Fill(p, {r.x, r.y, r.w, 1}, kLight);
    Fill(p, {r.x, r.y, 1, r.h}, kLight);
    Fill(p, {r.x, r.y + r.h - 1, r.w, 1}, kShadow);
    Fill(p, {r.x + r.w - 1, r.y, 1, r.h}, kShadow);
}

// Text clipped to `area`, from its top-left corner.
void Write(Picture* p, Rect area, const std::string& text, uint8_t colour) {
    uint8_t* origin = p->pixels.data() + area.y * p->width + area.x;
    DrawTextCp932(origin, area.w, area.h, p->width, 0, 0, text.data(), static_cast<int>(text.size()), colour);
}

}  // namespace

std::vector<std::string> Lines(const std::string& text, int maxWidth) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Wrap(line, maxWidth, &lines);
        start = end + 1;
    }
    while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    return lines;
}

Picture Draw(const std::string& caption, const std::string& text) {
    const int textMax = kMaxWidth - 2 * kMargin;
    const std::vector<std::string> lines = Lines(text, textMax);
    int widest = std::min(Width(caption, 0, caption.size()), textMax);
    for (const std::string& line : lines) widest = std::max(widest, Width(line, 0, line.size()));

    Picture p;
    p.width = std::max(kMinWidth, widest + 2 * kMargin);
    const int textHeight = static_cast<int>(lines.size()) * kLineHeight;
    p.height = kCaptionHeight + kMargin + textHeight + kMargin + kButtonHeight + kMargin;
    p.pixels.assign(static_cast<size_t>(p.width * p.height), kFace);
    p.text = {kMargin, kCaptionHeight + kMargin, p.width - 2 * kMargin, textHeight};
    p.button = {(p.width - kButtonWidth) / 2, p.height - kMargin - kButtonHeight, kButtonWidth, kButtonHeight};

    Bevel(&p, {0, 0, p.width, p.height});
    Fill(&p, {1, 1, p.width - 2, kCaptionHeight - 1}, kCaptionBar);
    Write(&p, {kMargin / 2, 2, p.width - kMargin, kTextCellHeight}, caption, kCaptionInk);
    for (size_t i = 0; i < lines.size(); ++i) {
        Rect line{p.text.x, p.text.y + static_cast<int>(i) * kLineHeight, p.text.w, kTextCellHeight};
        Write(&p, line, lines[i], kInk);
    }
    // The default button: a black frame around a raised face.
    const Rect& b = p.button;
    Fill(&p, b, kInk);
    Fill(&p, {b.x + 1, b.y + 1, b.w - 2, b.h - 2}, kFace);
    Bevel(&p, {b.x + 1, b.y + 1, b.w - 2, b.h - 2});
    const int labelWidth = Width(kButtonLabel, 0, sizeof kButtonLabel - 1);
    Write(&p, {b.x + (b.w - labelWidth) / 2, b.y + (b.h - kTextCellHeight) / 2, labelWidth, kTextCellHeight},
          kButtonLabel, kInk);
    return p;
}

}  // namespace core::box
