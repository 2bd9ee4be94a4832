// The browser's driver: the 640x480 picture on the page's canvas through the
// palette (the page's WebGL looks the colours up itself; its 2D canvas takes
// them converted), the page's keys, touch controls, pads and focus told to
// the core (web_input.cpp), message boxes as a modal box on the page, and
// 60 frames a second on the browser's animation frames (web_pacing.cpp);
// the baked font comes from the page, after what the title needs.
// The page's side, in JavaScript, is library_kawauo.js.
#include <emscripten.h>

#include <vector>

#include "hosts/core/argb.h"
#include "hosts/core/driver.h"
#include "hosts/core/shown.h"
#include "hosts/web/web_host.h"
#include "hosts/web/web_internal.h"
#include "winapi/host.h"

namespace {

constexpr size_t kFramePixels = size_t{kScreenWidth} * kScreenHeight;
// Milliseconds a script runs before the page gets its turn: the page answers
// within about this, and each turn costs a few (the browser's least timeout).
constexpr double kScriptTurn = 50;
// Polls for events between looks at the clock while a script runs: a
// script's events come by the thousand, and the clock is dear to read.
constexpr unsigned kPollsPerLook = 4096;

struct WebDriver {
    int canvas = web::kNoCanvas;  // what kawauo_web_open found
    std::vector<uint8_t> rgba;    // the picture converted, for a 2D canvas only
    bool unpaced = false;
    double turnGiven = 0;  // when the page last had its turn during a script
    unsigned polls = 0;    // for events, during a script
    winapi::host::FontTables font;
};

WebDriver g_web;

// The canvas's ImageData wants bytes R, G, B, A: on wasm's little-endian
// memory that is the word A<<24 | B<<16 | G<<8 | R.
void Convert(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    g_web.rgba.resize(kFramePixels * 4);
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] =
            0xFF000000u | uint32_t{palette[i].peBlue} << 16 | uint32_t{palette[i].peGreen} << 8 | palette[i].peRed;
    core::ConvertScaled(pixels, colours, 1, g_web.rgba.data(), kScreenWidth * 4);
}

// A script runs as fast as it can, between frames and between its events
// (a script may queue a million for one frame); now and then it hands the
// page its turn, so that the page still answers: its keys, its buttons, its
// drawing. The game's state does not depend on when: its clock is the script's.
void GiveThePageItsTurn() {
    if (emscripten_get_now() - g_web.turnGiven < kScriptTurn) return;
    emscripten_sleep(0);
    g_web.turnGiven = emscripten_get_now();
}

// The page, not a desktop, is what the game covers: 640x480 stays.
void DesktopSize(int*, int*) {}

bool Open(const core::WindowWish&) {
    if (g_web.canvas == web::kNoCanvas) g_web.canvas = kawauo_web_open();
    if (g_web.canvas == web::kNoCanvas) return false;
    web::StartPacing();
    web::TellPageTheKeys();
    return true;
}

void Close() { g_web.canvas = web::kNoCanvas; }

// While a script runs no pads are read (the page's keys still are, for
// leaving): the game asks for events once for each of the script's.
void Pump() {
    if (g_web.unpaced && ++g_web.polls % kPollsPerLook == 0) GiveThePageItsTurn();
    web::PollInput(!g_web.unpaced);
}

uint64_t Nanoseconds() { return static_cast<uint64_t>(emscripten_get_now() * 1e6); }

void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    if (g_web.canvas == web::kNoCanvas) return;
    if (g_web.canvas == web::kCanvasRgba) Convert(pixels, palette);
    kawauo_web_show(pixels, palette, g_web.rgba.data());
    if (g_web.unpaced) GiveThePageItsTurn();
    else web::WaitForFrame();
}

// The page fetches the font once the title's files are in (the title draws
// no text): the game's first text waits here until it has come.
winapi::host::FontTables Font() {
    if (g_web.font.glyphs.empty()) {
        const uint8_t *glyphs = nullptr, *cp932 = nullptr;
        size_t glyphsSize = 0, cp932Size = 0;
        kawauo_web_font(&glyphs, &glyphsSize, &cp932, &cp932Size);
        g_web.font = {{glyphs, glyphsSize}, {cp932, cp932Size}};
    }
    return g_web.font;
}

constexpr core::Driver kDriver{
    .desktopSize = DesktopSize,
    .open = Open,
    .close = Close,
    .present = Present,
    .pump = Pump,
    .showBox = kawauo_web_message_box,
    .font = Font,
    .keyKnown = web::KeyNameKnown,
    .nanoseconds = Nanoseconds,
    .debugLine = kawauo_web_debug_line,
    .showNote = kawauo_web_note,
};

}  // namespace

const core::Driver& core::TheDriver() { return kDriver; }

namespace web {

// Called once the script is read: a long one has held the page a while already.
void RunUnpaced() {
    g_web.unpaced = true;
    core::KeepEveryPicture();
    GiveThePageItsTurn();
}

bool ShootLastFrame(const std::string& name, std::string* why) {
    const core::Shown* shown = core::LastShown();
    if (shown == nullptr) {
        *why = "no frame has been shown yet";
        return false;
    }
    kawauo_web_shot(name.c_str(), shown->pixels.data(), shown->palette);
    return true;
}

void UseScaleMode(player::options::ScaleMode mode) {
    kawauo_web_scale_mode(mode == player::options::ScaleMode::kInteger);
}

}  // namespace web
