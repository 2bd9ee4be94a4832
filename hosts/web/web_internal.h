// What the files of the browser's driver share: the keyboard and pads, the
// frame pacing, and the page's side (library_kawauo.js). Only web_*.cpp and
// the web entry include it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "winapi/ddraw.h"

// The page's side of the host, written in JavaScript.
extern "C" {
// The canvas found, as web::Canvas numbers it.
int kawauo_web_open();
// The picture as indices and palette and, for a 2D canvas, converted to RGBA.
void kawauo_web_show(const uint8_t* pixels, const PALETTEENTRY* palette, const uint8_t* rgba);
// Whole factors only (1) or fit (0), as the page lays the picture out.
void kawauo_web_scale_mode(int integer);
// Waits for the browser's next animation frame; its time in milliseconds.
double kawauo_web_animation_frame();
// The next key, touch control or focus change the page saw, its key's
// KeyboardEvent.code or its control's name in `name` (of `size` bytes):
// false when none is waiting.
bool kawauo_web_next_input(int* kind, char* name, int size);
// The KeyboardEvent.code of every key the game takes, space-separated: the
// page leaves the browser's own action of those keys to the game.
void kawauo_web_keys(const char* codes);
// Gamepad `index` of the Gamepad API's standard mapping: false when none.
bool kawauo_web_pad(int index, uint32_t* buttons, int* stickX, int* stickY);
void kawauo_web_message_box(const char* caption, const char* text);
// Waits until the page has the baked font (fetched after the title's files),
// then puts its two tables in memory the program keeps: where, and their sizes.
void kawauo_web_font(const uint8_t** glyphs, size_t* glyphsSize, const uint8_t** cp932, size_t* cp932Size);
void kawauo_web_debug_line(const char* text);
void kawauo_web_note(const char* text);
void kawauo_web_shot(const char* name, const uint8_t* pixels, const PALETTEENTRY* palette);
void kawauo_web_ended(int status);
// The settings text kept under `name` in localStorage (library_choices.js):
// read into memory the caller frees, with its length (null when none), and
// written whole (false when the browser keeps none).
char* kawauo_web_settings_read(const char* name, int* length);
bool kawauo_web_settings_write(const char* name, const char* text, size_t length);
// Tells the page the choices the game runs with, for its menu and its
// scaling; `kept` when the menu's changes are saved.
void kawauo_web_choices(const char* lang, const char* scale, bool outline, bool kept);
// Tells the page an argument of its query the game cannot take, and why: it
// is left out and the game starts with the rest.
void kawauo_web_refused(const char* argument, const char* why);
// A run's link's bytes deflated by the page (library_link.js), or inflated
// to at most `most` bytes: memory the caller frees, holding `*length` bytes;
// when it failed, `*length` is -1 less its run_link::InflateProblem.
char* kawauo_web_zip(const uint8_t* bytes, size_t size, bool inflate, size_t most, int* length);
}

namespace web {

// What kawauo_web_open found: no canvas, a 2D canvas that takes the picture
// as RGBA, or WebGL that looks the palette up itself.
enum Canvas { kNoCanvas = 0, kCanvasRgba = 1, kCanvasIndexed = 2 };

// What kawauo_web_next_input reports, as the page numbers them.
enum InputKind { kKeyDown = 1, kKeyUp = 2, kFocusLost = 3, kFocusGained = 4, kControlDown = 5, kControlUp = 6 };

// Keyboard and gamepads (web_input.cpp): the page's keys, touch controls,
// focus and, `withPads`, its pads, told to the core.
void PollInput(bool withPads);
// Whether the page has a key by this name (the settings file's); tells the
// page the keys the settings bind.
bool KeyNameKnown(const std::string& name);
void TellPageTheKeys();

// Pacing at 60 Hz on the browser's animation frames (web_pacing.cpp).
void StartPacing();
void WaitForFrame();

}  // namespace web
