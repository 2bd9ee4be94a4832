// Between the Win32 host's seam (win32_host.cpp, which sees the platform's
// own Win32-like names) and its files that include <windows.h> (which must
// not): plain types only, on both sides.
#pragma once
#include <cstdint>
#include <filesystem>

#include "hosts/shared/options.h"

namespace win32host {

// The window (win32_window.cpp), titled with the game's name (KAWAUO_NAME).
bool OpenGameWindow();
// How the picture fills the window: fit (the default) or whole factors only;
// the entry passes the command line's or the settings' choice, before or
// during the game.
void UseScaleMode(options::ScaleMode mode);
void CloseGameWindow();
void SetCursorShown(bool shown);
int MonitorWidth();
int MonitorHeight();
// Takes every waiting window message, queueing what the game hears.
void PumpMessages();
// Shows the 640x480 palette indices through `rgbx` (red, green, blue, unused
// for each of the 256 entries), scaled by the scale mode and letterboxed.
void ShowPicture(const uint8_t* pixels, const uint8_t* rgbx);
void ShowBox(const char* utf8Caption, const char* utf8Text);
void DebugLine(const char* utf8Text);
// The folder the running program was started from.
std::filesystem::path ProgramFolder();

// Keyboard and pads (win32_input.cpp), from the window's messages.
void KeyChanged(int virtualKey, bool down);
void ReleaseAllKeys();
// Reads the XInput pads once a frame.
void PollPads();

// 60 Hz pacing on a waitable timer (win32_pacing.cpp).
void StartPacing();
void WaitForFrame();
void FrameShown();
void StopPacing();

// The game's event queue (win32_host.cpp): virtual keys are the VK_ codes,
// the same numbers on both sides.
void QueueKey(int virtualKey, bool down);
void QueueActivate(bool active);
void QueueClose();

}  // namespace win32host
