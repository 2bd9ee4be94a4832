// Controls of the headless host, for tests and the sim: scripted keys and
// window events, a virtual clock, fault injection, and what was shown.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "winapi/ddraw.h"
#include "winapi/frame_log.h"
#include "winapi/host.h"

namespace headless {

// Back to a fresh start: clock 0, calendar 0, no keys, no queued events,
// no faults, nothing recorded, and the platform's window, queue, key state
// and frame log as at program start.
void Reset();

// The virtual clock: GetTickCount reads it; it moves only when told.
void SetMilliseconds(uint32_t ms);
uint32_t Milliseconds();
void SetCalendarSeconds(int64_t seconds);
void SetDesktopSize(int width, int height);
// When false, OpenDisplay fails as if there were no display.
void SetDisplayAvailable(bool available);

// Input, delivered as host events the next time the platform polls.
void KeyDown(int virtualKey);
void KeyUp(int virtualKey);
void Activate(bool active);
void Close();

// Whether the platform last asked for the mouse cursor to be shown, and
// whether the display is full screen (as it opened, or as Alt+Enter left it).
bool CursorVisible();
bool Fullscreen();

// Marks the primary surface and every off-screen surface lost.
void LoseSurfaces();

// The next call of the named platform operation fails with `code`: a
// DirectDraw method ("CreateSurface", "SetClipper", "Lock", "GetDC", "Blt",
// "Flip", ...) or a Win32 call ("RegisterClassA", "CreateWindowExA",
// "LoadImageA"), which then returns its failure value: any call of
// winapi/fault.h. A name not there throws std::invalid_argument.
void FailNext(const std::string& call, HRESULT code);

// Called at the end of every frame (every Flip), after the frame is recorded.
void OnFrame(std::function<void(HRESULT flipResult)> callback);

struct Frame {
    std::vector<uint8_t> pixels;  // 640x480 palette indices, rows top-down
    PALETTEENTRY palette[256];
};
// The picture last shown by a successful flip, and how many flips succeeded.
const Frame& LastFrame();
int FramesShown();

struct MessageBoxRecord {
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
};
const std::vector<MessageBoxRecord>& MessageBoxes();
const std::vector<std::string>& DebugLines();  // UTF-8

}  // namespace headless
