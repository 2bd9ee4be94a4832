// The headless host: scripted input, a virtual clock and recorded frames,
// for the tests and the sim. Nothing here waits or opens a window.
#include "hosts/headless/headless.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <utility>

#include "player/record.h"
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
    std::deque<winapi::host::Event> events;
    std::function<void(HRESULT)> onFrame;
    uint32_t onFrameChanges = 0;  // tells a callback that replaced itself from one that did not
    headless::Frame lastFrame{std::vector<uint8_t>(kFramePixels), {}};
    int framesShown = 0;
    std::vector<headless::MessageBoxRecord> messageBoxes;
    std::vector<std::string> debugLines;
};

HeadlessState g_headless;

void Queue(winapi::host::EventKind kind, int virtualKey) {
    g_headless.events.push_back(winapi::host::Event{kind, virtualKey});
}

}  // namespace

namespace winapi::host {

int DesktopWidth() { return g_headless.desktopWidth; }
int DesktopHeight() { return g_headless.desktopHeight; }

bool OpenDisplay(const char*) { return g_headless.displayAvailable; }
void CloseDisplay() {}
void SetCursorVisible(bool visible) { g_headless.cursorVisible = visible; }

bool PollEvent(Event* event) {
    if (g_headless.events.empty()) return false;
    *event = g_headless.events.front();
    g_headless.events.pop_front();
    return true;
}

uint32_t Milliseconds() { return g_headless.milliseconds; }
int64_t CalendarSeconds() { return g_headless.calendarSeconds; }

// Copied into the frame kept since start: thousands of frames a second
// must not allocate.
void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    std::memcpy(g_headless.lastFrame.pixels.data(), pixels, kFramePixels);
    std::memcpy(g_headless.lastFrame.palette, palette, sizeof g_headless.lastFrame.palette);
    ++g_headless.framesShown;
}

void ShowMessageBox(const char* caption, const char* text) {
    g_headless.messageBoxes.push_back(headless::MessageBoxRecord{caption, text});
}

void DebugLine(const char* text) { g_headless.debugLines.emplace_back(text); }

void NoteFlip(HRESULT result) {
    if (!g_headless.onFrame) return;
    // Held aside while it runs, so that it may replace or clear itself.
    std::function<void(HRESULT)> callback = std::move(g_headless.onFrame);
    g_headless.onFrame = nullptr;
    uint32_t changes = g_headless.onFrameChanges;
    callback(result);
    if (g_headless.onFrameChanges == changes) g_headless.onFrame = std::move(callback);
}

}  // namespace winapi::host

namespace headless {

void Reset() {
    uint32_t changes = g_headless.onFrameChanges + 1;
    g_headless = HeadlessState{};
    g_headless.onFrameChanges = changes;
    winapi::ClearFaults();
    winapi::ResetWindowState();
    winapi::ResetFrameLog();
    player::record::Reset();
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

void KeyDown(int virtualKey) { Queue(winapi::host::EventKind::KeyDown, virtualKey); }
void KeyUp(int virtualKey) { Queue(winapi::host::EventKind::KeyUp, virtualKey); }
void Activate(bool active) {
    Queue(active ? winapi::host::EventKind::Activate : winapi::host::EventKind::Deactivate, 0);
}
void Close() { Queue(winapi::host::EventKind::Close, 0); }

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

}  // namespace headless
