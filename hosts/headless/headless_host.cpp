// The headless driver: scripted input, a virtual clock and recorded frames,
// for the tests and the sim. Nothing here waits or opens a window.
#include "hosts/headless/headless.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <utility>

#include "hosts/core/driver.h"
#include "hosts/core/seam.h"
#include "winapi/baked.h"
#include "winapi/fault.h"
#include "winapi/host.h"
#include "winapi/inputs.h"
#include "winapi/picture_load.h"
#include "winapi/surface_access.h"
#include "winapi/window_state.h"

namespace {

constexpr size_t kFramePixels = size_t{kScreenWidth} * kScreenHeight;

struct HeadlessState {
    uint32_t milliseconds = 0;
    int64_t calendarSeconds = 0;
    int desktopWidth = kScreenWidth;
    int desktopHeight = kScreenHeight;
    bool displayAvailable = true;
    bool cursorVisible = true;
    bool fullscreen = true;
    std::deque<core::RawEvent> events;
    std::function<void(HRESULT)> onFrame;
    uint32_t onFrameChanges = 0;  // tells a callback that replaced itself from one that did not
    headless::Frame lastFrame{std::vector<uint8_t>(kFramePixels), {}};
    int framesShown = 0;
    std::vector<headless::MessageBoxRecord> messageBoxes;
    std::vector<std::string> debugLines;
};

HeadlessState g_headless;

void Queue(const core::RawEvent& event) { g_headless.events.push_back(event); }

// The headless driver's table: nothing waits, nothing is shown.
void DesktopSize(int* width, int* height) {
    *width = g_headless.desktopWidth;
    *height = g_headless.desktopHeight;
}

bool Open(const core::WindowWish& wish) {
    g_headless.fullscreen = wish.fullscreen;
    return g_headless.displayAvailable;
}
void Close() {}
void SetCursor(bool visible) { g_headless.cursorVisible = visible; }
void SetFullscreen(bool fullscreen) { g_headless.fullscreen = fullscreen; }

// A keyboard with a key of every name, for the core's key binding.
bool KeyKnown(const std::string& name) { return !name.empty(); }

void Pump() {
    while (!g_headless.events.empty()) {
        const core::RawEvent event = g_headless.events.front();
        g_headless.events.pop_front();
        core::Hear(event);
    }
}

uint64_t Nanoseconds() { return uint64_t{g_headless.milliseconds} * 1000000; }
int64_t CalendarSeconds() { return g_headless.calendarSeconds; }

// Copied into the frame kept since start: thousands of frames a second
// must not allocate.
void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    std::memcpy(g_headless.lastFrame.pixels.data(), pixels, kFramePixels);
    std::memcpy(g_headless.lastFrame.palette, palette, sizeof g_headless.lastFrame.palette);
    ++g_headless.framesShown;
}

void ShowBox(const char* caption, const char* text) {
    g_headless.messageBoxes.push_back(headless::MessageBoxRecord{caption, text});
}

void DebugLine(const char* text) { g_headless.debugLines.emplace_back(text); }

void FrameEnd(HRESULT result) {
    if (!g_headless.onFrame) return;
    // Held aside while it runs, so that it may replace or clear itself.
    std::function<void(HRESULT)> callback = std::move(g_headless.onFrame);
    g_headless.onFrame = nullptr;
    uint32_t changes = g_headless.onFrameChanges;
    callback(result);
    if (g_headless.onFrameChanges == changes) g_headless.onFrame = std::move(callback);
}

constexpr core::Driver kDriver{
    .desktopSize = DesktopSize,
    .open = Open,
    .close = Close,
    .present = Present,
    .pump = Pump,
    .showBox = ShowBox,
    .font = winapi::baked::BuiltIn,
    .setCursor = SetCursor,
    .setFullscreen = SetFullscreen,
    .keyKnown = KeyKnown,
    .nanoseconds = Nanoseconds,
    .calendarSeconds = CalendarSeconds,
    .debugLine = DebugLine,
    .frameEnd = FrameEnd,
};

}  // namespace

const core::Driver& core::TheDriver() { return kDriver; }

namespace headless {

void Reset() {
    uint32_t changes = g_headless.onFrameChanges + 1;
    g_headless = HeadlessState{};
    g_headless.onFrameChanges = changes;
    core::ForgetSeam();
    winapi::ClearFaults();
    winapi::ResetWindowState();
    winapi::ResetFrameLog();
    winapi::inputs::Reset();
    winapi::ResetPictureBudget();
}

void SetMilliseconds(uint32_t ms) { g_headless.milliseconds = ms; }
uint32_t Milliseconds() { return g_headless.milliseconds; }
void SetCalendarSeconds(int64_t seconds) { g_headless.calendarSeconds = seconds; }

void SetDesktopSize(int width, int height) {
    g_headless.desktopWidth = width;
    g_headless.desktopHeight = height;
}

void SetDisplayAvailable(bool available) { g_headless.displayAvailable = available; }

// Keys come as the game's own, as a touch control's do.
void KeyDown(int virtualKey) {
    Queue(core::RawEvent{.kind = core::RawKind::kGameKey, .down = true, .virtualKey = virtualKey});
}
void KeyUp(int virtualKey) { Queue(core::RawEvent{.kind = core::RawKind::kGameKey, .virtualKey = virtualKey}); }
void Activate(bool active) { Queue(core::RawEvent{.kind = core::RawKind::kFocus, .down = active}); }
void Close() { Queue(core::RawEvent{.kind = core::RawKind::kClose}); }

void LoseSurfaces() { winapi::LoseAllSurfaces(); }

void FailNext(const std::string& call, HRESULT code) {
    winapi::FaultPoint point;
    if (!winapi::FindFaultPoint(call, &point)) {
        throw std::invalid_argument("no platform call named " + call + " can be made to fail");
    }
    winapi::SetFault(point, code);
}

void OnFrame(std::function<void(HRESULT flipResult)> callback) {
    g_headless.onFrame = std::move(callback);
    ++g_headless.onFrameChanges;
}

const Frame& LastFrame() { return g_headless.lastFrame; }
int FramesShown() { return g_headless.framesShown; }

const std::vector<MessageBoxRecord>& MessageBoxes() { return g_headless.messageBoxes; }
const std::vector<std::string>& DebugLines() { return g_headless.debugLines; }

bool CursorVisible() { return g_headless.cursorVisible; }
bool Fullscreen() { return g_headless.fullscreen; }

}  // namespace headless
