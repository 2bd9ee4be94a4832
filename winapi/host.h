// The seam beneath the Windows room: what it needs from the machine it runs
// on, and the one contract every host implements. Hosts are chosen at link
// time (hosts/sdl for players on Linux, hosts/win32 on Windows, hosts/web in
// a browser, hosts/headless for tests and the sim); a new port starts from
// hosts/null, which the build compiles so that it keeps up with this file.
// The game never sees this header.
//
// Rules for every host:
//   - Every call comes from the game's one thread, in the order the game makes
//     its Win32 and DirectDraw calls; a host needs no locks and calls nothing
//     of the platform layer back (no DirectDraw, no window procedure).
//   - Only Present and ShowMessageBox may wait; every other call returns at
//     once (a browser's PollEvent may hand the page its turn while a script
//     runs, waiting for nothing). Present, PollEvent and Milliseconds run
//     every frame: they may not allocate, print or touch files there.
//   - Types of the host's own library (SDL_Event, HWND of a real Windows, ...)
//     stay inside the host's files; what crosses is below.
//   - Failures are reported through the return values given; a host never
//     exits the program or throws.
#pragma once
#include <cstdint>

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
// game's own name for it; a host's real window shows the product's, kawauo):
// a window, a canvas, whatever the system needs to show 640x480 pictures.
// Called once by DirectDrawCreate; false when no display can be had, and the
// game then reports DDERR_NODIRECTDRAWHW and ends. CloseDisplay undoes it, at
// the last release of the DirectDraw object (which exists only after
// OpenDisplay succeeded); the program may still show message boxes after it.
bool OpenDisplay(const char* title);
void CloseDisplay();
// ShowCursor: whether the system's pointer shows over the game's window.
void SetCursorVisible(bool visible);

// The next input event, already translated into our keys and messages; false
// when none is waiting (never waits for one). Called by the message loop
// until it returns false, at least once a frame. A host should send a key's
// KeyUp for every KeyDown it sent (on focus loss too), and the window's loss and
// return of the foreground as Deactivate and Activate, and the player's
// closing of the window as Close; a host that catches the stop signals
// (winapi/process.h) sends Close for them too.
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
// come (winapi/process.h); a host with no screen records it.
void ShowMessageBox(const char* caption, const char* text);
// OutputDebugStringA (UTF-8): for a debugger's eyes; may do nothing.
void DebugLine(const char* text);

// Every call of Flip, shown or not, after any Present: the end of a frame
// (the headless host runs its frame callback here; the others do nothing).
void NoteFlip(HRESULT result);

}  // namespace winapi::host
