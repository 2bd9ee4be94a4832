// Between the Win32 host's seam (win32_host.cpp, which sees the platform's
// own Win32-like names) and its files that include <windows.h> (which must
// not): plain types only, on both sides.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

#include "player/options.h"

namespace player::settings {
struct Settings;
}

namespace win32 {

// The window (win32_window.cpp), titled with the game's name (KAWAUO_NAME).
bool OpenGameWindow();
// How the picture fills the window: fit (the default) or whole factors only;
// the entry passes the command line's or the settings' choice, before or
// during the game.
void UseScaleMode(player::options::ScaleMode mode);
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

// Keyboard and pads (win32_input.cpp), from the window's messages: the
// message's key and its flags (its lParam: scan code, extended, repeat).
// The keyboard's keys stand for the game's as the settings bind them; F12
// takes a screenshot.
void KeyChanged(int virtualKey, bool down, uint32_t keyFlags);
void ReleaseAllKeys();
// Whether the keyboard has a key by this name (the settings file's names).
bool KeyNameKnown(const std::string& name);
// The keyboard's key `name` stands for the game's key `gameKey` (a VK_
// code), besides any others bound before; ClearKeys unbinds them all.
void ClearKeys();
void BindKey(const std::string& name, int gameKey);
// Reads the XInput pads once a frame.
void PollPads();

// 60 Hz pacing on a waitable timer (win32_pacing.cpp); paused, the wait
// for the next window message instead.
void StartPacing();
void WaitForFrame();
void WaitForMessages();
void FrameShown();
void StopPacing();

// The game's event queue (win32_host.cpp): virtual keys are the VK_ codes,
// the same numbers on both sides. Out of focus with --pause-unfocused, the
// game's clock stands still and its loop waits for the next message.
void QueueKey(int virtualKey, bool down);
void QueueActivate(bool active);
void QueueClose();

// The command line (win32_console.cpp), read in UTF-16 and handed to
// player::options::Parse in UTF-8. For --help, --version or a refused line the
// answer goes where the parent process can read it (its standard streams,
// else its console, else a box, as when started from Explorer) and *status
// is the exit status.
player::options::Outcome ReadCommandLine(player::options::Options* chosen, int* status);

// Text crossing to and from the system (win32_text.cpp).
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The player's choices (win32_settings.cpp): the command line's over the
// settings file's for this run, and what the player changes saved.
const player::settings::Settings& LoadSettings(const std::string& path, const player::options::Options& chosen);
bool StartsFullscreen();
player::options::ScaleMode ChosenScale();
bool PausesUnfocused();
void RememberFullscreen(bool fullscreen);

// The screenshot key (win32_host.cpp, which keeps every picture shown).
void TakeScreenshot();

}  // namespace win32
