// The seam beneath the platform layer: what it needs from the machine it runs
// on. Two hosts implement it, chosen at link time: host_sdl.cpp for players,
// host_headless.cpp for tests and the sim. Nothing above platform/ sees it.
#pragma once
#include <cstdint>

#include "platform/ddraw.h"

namespace host {

enum class EventKind { KeyDown, KeyUp, Activate, Deactivate, Close };

struct Event {
    EventKind kind;
    int virtualKey;  // for KeyDown and KeyUp: one of the VK_ codes of win.h
};

// Size of the desktop the popup window covers.
int DesktopWidth();
int DesktopHeight();

// Makes the player's screen for the popup window titled "2DGAME"; false when
// no display can be had. Called by DirectDrawCreate; CloseDisplay by the last
// release of the DirectDraw object.
bool OpenDisplay(const char* title);
void CloseDisplay();
void SetCursorVisible(bool visible);

// Next input event, already translated to our keys and messages.
bool PollEvent(Event* event);

// Monotonic milliseconds since start, wrapping at 2^32.
uint32_t Milliseconds();
// Seconds since the epoch (the C library's time()).
int64_t CalendarSeconds();

// Shows a 640x480 picture of palette indices through the palette and waits
// for the next 60 Hz blank. Called by every flip that succeeds.
void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]);

// A modal message box, and a debugger line; both UTF-8.
void ShowMessageBox(const char* caption, const char* text);
void DebugLine(const char* text);

// Every call of Flip, shown or not, after any Present: the end of a frame
// (the headless host runs its frame callback here; the others do nothing).
void NoteFlip(HRESULT result);

}  // namespace host
