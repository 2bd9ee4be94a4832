// The seam beneath the Windows room: what it needs from the machine it runs
// on. The host core implements it once (hosts/core/seam.cpp) over the driver
// linked into the program (hosts/core/driver.h: SDL, Win32, the browser,
// the headless one of the tests and kawauo-sim, the null one); the suites of
// the rooms beneath the core stand on tests/support/headless_seam.cpp
// instead. The game never sees this header.
//
// The contract:
//   - Every call comes from the game's one thread, in the order the game makes
//     its Win32 and DirectDraw calls; the seam needs no locks and calls nothing
//     of the Windows room back (no DirectDraw, no window procedure).
//   - Present waits for the frame's time, ShowMessageBox for the player's
//     answer, PollEvent, while the game is paused out of focus
//     (--pause-unfocused), for the focus or a close request, and a
//     browser's Font for the font to arrive; every other call returns at
//     once (a browser's PollEvent may hand the page its turn while a script
//     runs, waiting for nothing). Present, PollEvent and Milliseconds run
//     every frame: they may not allocate, print or touch files there (a
//     screenshot or a settings change is written off the game's thread).
//   - Types of the system's own library (SDL_Event, HWND of a real Windows,
//     ...) stay inside the driver's files; what crosses is below.
//   - Failures are reported through the return values given; the seam never
//     exits the program or throws.
#pragma once
#include <cstdint>
#include <span>

#include "winapi/ddraw.h"

namespace winapi::host {

enum class EventKind { KeyDown, KeyUp, Activate, Deactivate, Close };

struct Event {
    EventKind kind;
    int virtualKey;  // for KeyDown and KeyUp: one of the VK_ codes of win.h
};

// Size in pixels of the desktop the game's popup window would cover
// (GetSystemMetrics). May be asked before OpenDisplay; a host without a
// desktop answers 640x480.
int DesktopWidth();
int DesktopHeight();

// Makes the player's screen for the popup window `title` ("2DGAME", the
// game's own name for it; a real window shows the product's, kawauo):
// a window, a canvas, whatever the system needs to show 640x480 pictures.
// Called by DirectDrawCreate; false when no display can be had, and the
// game then reports DDERR_NODIRECTDRAWHW and ends. CloseDisplay undoes it, at
// the last release of the DirectDraw object (which exists only after
// OpenDisplay succeeded); the program may still show message boxes after it.
bool OpenDisplay(const char* title);
void CloseDisplay();
// ShowCursor: whether the system's pointer shows over the game's window.
void SetCursorVisible(bool visible);

// The next input event, already translated into our keys and messages; false
// when none is waiting (it waits only while paused out of focus, above).
// Called by the message loop until it returns false, at least once a frame.
// Every KeyDown is followed by its KeyUp (at the focus's loss too, and a
// key pressed and let go before the loop's next taking is let go at that
// taking, so that the frame between sees it down); the window's loss and
// return of the foreground come as Deactivate and Activate, the player's
// closing of the window and a stop signal (winapi/process.h) as Close.
bool PollEvent(Event* event);

// Monotonic milliseconds since start, wrapping at 2^32 (GetTickCount): the
// game's only clock. Read several times a frame.
uint32_t Milliseconds();
// Seconds since the epoch (the C library's time()), read once at start-up to
// seed the game's random numbers.
int64_t CalendarSeconds();

// Shows a 640x480 picture of palette indices (rows top-down, pitch 640)
// through the 256-entry palette, then waits for the next 60 Hz blank or its
// own frame deadline, so that the game runs at 60 frames a second. Called by
// every Flip that succeeds, after OpenDisplay. Both buffers belong to the
// caller and are valid only during the call.
void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]);

// MessageBoxA with MB_OK: shows `text` under `caption` (both UTF-8) and
// returns when the player dismisses it, or at once when a stop signal has
// come (winapi/process.h); a driver with no screen records it.
void ShowMessageBox(const char* caption, const char* text);
// OutputDebugStringA (UTF-8): for a debugger's eyes; may do nothing.
void DebugLine(const char* text);

// The baked font's two tables, laid out as winapi/baked.h says.
struct FontTables {
    std::span<const uint8_t> glyphs;  // font/glyphs16.bin
    std::span<const uint8_t> cp932;   // font/cp932.bin
};

// The font, asked when the game first draws text or converts text beyond
// ASCII (the title needs neither), and kept: the bytes stay valid for the
// rest of the program. The desktops answer at once with the copy built into
// the program (winapi::baked::BuiltIn); a browser fetches the font after
// what the title needs, and the first text waits here until it has come.
FontTables Font();

// Every call of Flip, shown or not, after any Present: the end of a frame
// (the headless driver runs its frame callback here).
void NoteFlip(HRESULT result);

}  // namespace winapi::host
