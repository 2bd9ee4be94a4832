// The browser's host: the 640x480 picture on the page's canvas through the
// palette (the page's WebGL looks the colours up itself; its 2D canvas takes
// them converted), the page's keys, pads and focus as the game's events, and message
// boxes as a modal box on the page. Input and pacing are in
// web_input.cpp and web_pacing.cpp; the page's side, in
// JavaScript, is library_kawauo.js.
#include <emscripten.h>

#include <cstring>
#include <ctime>
#include <deque>
#include <vector>

#include "hosts/core/argb.h"
#include "hosts/core/pause_clock.h"
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

struct WebHost {
    int canvas = web::kNoCanvas;  // what kawauo_web_open found
    std::deque<winapi::host::Event> events;
    std::vector<uint8_t> rgba;  // the picture converted, for a 2D canvas only
    bool unpaced = false;
    double turnGiven = 0;  // when the page last had its turn during a script
    unsigned polls = 0;    // for events, during a script
    bool kept = false;     // a picture is in lastPixels
    std::vector<uint8_t> lastPixels;
    PALETTEENTRY lastPalette[256] = {};
    bool pauseUnfocused = false;
    core::PauseClock clock;
};

WebHost g_web;

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

uint32_t RunningMilliseconds() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }

void Keep(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    std::memcpy(g_web.lastPixels.data(), pixels, kFramePixels);
    std::memcpy(g_web.lastPalette, palette, sizeof g_web.lastPalette);
    g_web.kept = true;
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

}  // namespace

namespace web {

void PushEvent(winapi::host::Event event) { g_web.events.push_back(event); }

// Called once the script is read: a long one has held the page a while already.
void RunUnpaced() {
    g_web.unpaced = true;
    g_web.lastPixels.resize(kFramePixels);
    GiveThePageItsTurn();
}

void PauseUnfocused(bool on) { g_web.pauseUnfocused = on; }

void NoteFocus(bool focused) {
    if (focused) g_web.clock.Resume(RunningMilliseconds());
    else if (g_web.pauseUnfocused) g_web.clock.Pause(RunningMilliseconds());
}

bool ShootLastFrame(const std::string& name, std::string* why) {
    if (!g_web.kept) {
        *why = "no frame has been shown yet";
        return false;
    }
    kawauo_web_shot(name.c_str(), g_web.lastPixels.data(), g_web.lastPalette);
    return true;
}

void UseScaleMode(player::options::ScaleMode mode) {
    kawauo_web_scale_mode(mode == player::options::ScaleMode::kInteger);
}

}  // namespace web

namespace winapi::host {

// The page, not a desktop, is what the game covers.
int DesktopWidth() { return kScreenWidth; }
int DesktopHeight() { return kScreenHeight; }

bool OpenDisplay(const char*) {
    if (g_web.canvas == web::kNoCanvas) g_web.canvas = kawauo_web_open();
    if (g_web.canvas != web::kNoCanvas) web::StartPacing();
    return g_web.canvas != web::kNoCanvas;
}

void CloseDisplay() { g_web.canvas = web::kNoCanvas; }

// The canvas shows no pointer of its own; the page's stays for its buttons.
void SetCursorVisible(bool) {}

// While a script runs no pads are read (the page's keys still are, for
// leaving): the game asks for events once for each of the script's.
bool PollEvent(Event* event) {
    if (g_web.events.empty()) {
        if (g_web.unpaced && ++g_web.polls % kPollsPerLook == 0) GiveThePageItsTurn();
        web::PollInput(!g_web.unpaced);
    }
    if (g_web.events.empty()) return false;
    *event = g_web.events.front();
    g_web.events.pop_front();
    return true;
}

uint32_t Milliseconds() { return g_web.clock.Read(RunningMilliseconds()); }

int64_t CalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    if (g_web.canvas == web::kNoCanvas) return;
    if (g_web.canvas == web::kCanvasRgba) Convert(pixels, palette);
    kawauo_web_show(pixels, palette, g_web.rgba.data());
    if (!g_web.unpaced) {
        web::WaitForFrame();
        return;
    }
    Keep(pixels, palette);
    GiveThePageItsTurn();
}

void ShowMessageBox(const char* caption, const char* text) { kawauo_web_message_box(caption, text); }

void DebugLine(const char* text) { kawauo_web_debug_line(text); }

void NoteFlip(HRESULT) {}

}  // namespace winapi::host
