// Between the Win32 driver's table (win32_driver.cpp, which sees the
// Windows room's own Win32-like names) and its files that include
// <windows.h> (which must not): plain types only, on both sides.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "hosts/core/hear.h"
#include "player/options.h"
#include "winapi/files.h"

namespace win32 {

// The window (win32_window.cpp), titled with the game's name (KAWAUO_NAME),
// full screen or a window as the player wants it (a window of the client
// size they left it, where it fits; 0 by 0: the size nobody chose), the
// picture filling it by the scale mode.
bool OpenGameWindow(bool fullscreen, player::options::ScaleMode scale, int width, int height);
void CloseGameWindow();
void SetFullscreen(bool fullscreen);
void SetCursorShown(bool shown);
void MonitorSize(int* width, int* height);
// Takes every waiting window message, telling the core what they mean.
void PumpMessages();
// Waits at most `ms` for the next window message, then takes them all.
void WaitForMessages(uint32_t ms);
// Shows the 640x480 palette indices through `rgbx` (red, green, blue, unused
// for each of the 256 entries), scaled by the scale mode and letterboxed.
void ShowPicture(const uint8_t* pixels, const uint8_t* rgbx);
void ShowBox(const char* utf8Caption, const char* utf8Text);
// A note in the window's title, after the game's name ("": the name alone).
void ShowNote(const char* utf8Text);
// The text on the clipboard in UTF-16, which every program reads; false when
// the clipboard could not be had.
bool CopyText(const char* utf8Text);
void DebugLine(const char* utf8Text);

// Keyboard and pads (win32_input.cpp). A key message's key and its flags
// (its lParam: scan code, extended, repeat), and whether Alt is held, told
// to the core by the key's name as the settings file writes it.
void KeyChanged(int virtualKey, bool down, uint32_t keyFlags, bool alt);
// Whether the keyboard has a key by this name.
bool KeyNameKnown(const std::string& name);
// Reads the XInput pads once a frame.
void PollPads();

// The core's 60 Hz pacing, slept on a waitable timer (win32_pacing.cpp).
void StartPacing();
void StopPacing();

// The command line (win32_console.cpp), read in UTF-16 and handed to
// options::Parse in UTF-8. For --help, --version or a refused line the
// answer goes where the parent process can read it (its standard streams,
// else its console, else a box, as when started from Explorer) and *status
// is the exit status.
player::options::Outcome ReadCommandLine(player::options::Options* chosen, int* status);
// Whether the program has no standard error and no console for it: started
// from Explorer or a shortcut.
bool ErrorsUnseen();

// Text crossing to and from the system, whose wide calls take UTF-16: as
// winapi converts names, which holds for any text.
inline std::wstring Wide(const std::string& utf8) { return winapi::PathOf(utf8).wstring(); }
inline std::string Utf8(const std::wstring& wide) { return winapi::Utf8Of(std::filesystem::path(wide)); }

}  // namespace win32
