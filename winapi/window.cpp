// The one popup window, the thread's message queue, key state, clock and
// message boxes, over whichever host is linked in.
#include <strings.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "winapi/cp932.h"
#include "winapi/fault.h"
#include "winapi/frame_log.h"
#include "winapi/host.h"
#include "winapi/inputs.h"
#include "winapi/process.h"
#include "winapi/win.h"
#include "winapi/window_state.h"

struct Window {
    std::string title;
    WNDPROC procedure;
    bool destroyed;
};
struct Module {
    int unused;
};
struct Icon {
    int unused;
};
struct Cursor {
    int unused;
};

namespace {

struct WindowClass {
    std::string name;
    ATOM atom;
    WNDPROC procedure;
};

constexpr ATOM kFirstAtom = 0xC000;  // where Win32 numbers registered classes
constexpr int kKeyCount = 256;
constexpr SHORT kKeyHeld = static_cast<SHORT>(0xFF80);
constexpr SHORT kKeyToggled = 0x0001;

struct WindowState {
    std::vector<WindowClass> classes;
    // Records stay until a reset so that a stale handle is recognised, not followed.
    std::vector<std::unique_ptr<Window>> windows;
    HWND main = nullptr;
    HWND focus = nullptr;
    HWND active = nullptr;
    int cursorCount = 0;
    std::deque<MSG> queue;
    bool quitPending = false;
    int quitCode = 0;
    SHORT keys[kKeyCount] = {};
};

WindowState g_window;

Module g_module;
Icon g_applicationIcon;
Cursor g_arrowCursor;
char g_blackBrush;  // only its address is handed out, as the stock brush

bool IsAtom(const char* name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

const WindowClass* FindClass(const char* name) {
    for (const WindowClass& c : g_window.classes) {
        bool same = IsAtom(name) ? reinterpret_cast<uintptr_t>(name) == c.atom : strcasecmp(name, c.name.c_str()) == 0;
        if (same) return &c;
    }
    return nullptr;
}

// A handle of a window that was made here and not destroyed.
Window* LiveWindow(HWND window) {
    if (window == nullptr) return nullptr;
    for (const std::unique_ptr<Window>& w : g_window.windows)
        if (w.get() == window) return w->destroyed ? nullptr : w.get();
    return nullptr;
}

void Post(UINT message, WPARAM wParam) {
    if (LiveWindow(g_window.main) == nullptr) return;  // nobody to receive it
    g_window.queue.push_back(MSG{g_window.main, message, wParam, 0});
}

// Moves the pending input (the host's, or a script's being played) into the
// queue as window messages.
void Pump() {
    winapi::host::Event event;
    while (winapi::inputs::PollEvent(&event)) {
        switch (event.kind) {
            case winapi::host::EventKind::KeyDown: Post(WM_KEYDOWN, static_cast<WPARAM>(event.virtualKey)); break;
            case winapi::host::EventKind::KeyUp: Post(WM_KEYUP, static_cast<WPARAM>(event.virtualKey)); break;
            case winapi::host::EventKind::Activate: Post(WM_ACTIVATEAPP, 1); break;
            case winapi::host::EventKind::Deactivate: Post(WM_ACTIVATEAPP, 0); break;
            case winapi::host::EventKind::Close: Post(WM_CLOSE, 0); break;
        }
    }
}

bool Matches(const MSG& m, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && m.hwnd != window) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return m.message >= filterMin && m.message <= filterMax;
}

// The key state follows the key messages as the program takes them.
void TakeKeyMessage(const MSG& m) {
    if (m.message != WM_KEYDOWN && m.message != WM_KEYUP) return;
    if (m.wParam >= kKeyCount) return;
    SHORT& key = g_window.keys[m.wParam];
    bool held = (key & kKeyHeld) != 0;
    if (m.message == WM_KEYDOWN) {
        // A repeat of a key already down is not a new press: the toggle stays.
        SHORT toggle = static_cast<SHORT>((key & kKeyToggled) ^ (held ? 0 : kKeyToggled));
        key = static_cast<SHORT>(kKeyHeld | toggle);
    } else {
        key = static_cast<SHORT>(key & kKeyToggled);
    }
}

// Takes (or, without PM_REMOVE, only looks at) the first matching message;
// the quit request comes after every other one.
bool NextMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    Pump();
    for (auto it = g_window.queue.begin(); it != g_window.queue.end(); ++it) {
        if (!Matches(*it, window, filterMin, filterMax)) continue;
        *msg = *it;
        if (remove) {
            g_window.queue.erase(it);
            TakeKeyMessage(*msg);
        }
        return true;
    }
    if (!g_window.quitPending) return false;
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(g_window.quitCode), 0};
    if (remove) g_window.quitPending = false;
    return true;
}

std::string Utf8(const char* cp932) {
    if (cp932 == nullptr) return std::string();
    return winapi::Cp932ToUtf8(cp932, std::char_traits<char>::length(cp932));
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (winapi::TakeFault(winapi::FaultPoint::RegisterClassA)) return 0;
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr || windowClass->lpszClassName == nullptr ||
        IsAtom(windowClass->lpszClassName))
        return 0;
    if (FindClass(windowClass->lpszClassName) != nullptr) return 0;  // already registered
    ATOM atom = static_cast<ATOM>(kFirstAtom + g_window.classes.size());
    g_window.classes.push_back(WindowClass{windowClass->lpszClassName, atom, windowClass->lpfnWndProc});
    return atom;
}

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                     void*) {
    if (winapi::TakeFault(winapi::FaultPoint::CreateWindowExA)) return nullptr;
    if (className == nullptr) return nullptr;
    const WindowClass* windowClass = FindClass(className);
    if (windowClass == nullptr) return nullptr;
    g_window.windows.push_back(
        std::make_unique<Window>(Window{title != nullptr ? title : "", windowClass->procedure, false}));
    g_window.main = g_window.windows.back().get();
    return g_window.main;
}

BOOL DestroyWindow(HWND window) {
    Window* w = LiveWindow(window);
    if (w == nullptr) return FALSE;
    // Marked first so that a procedure destroying it again on WM_DESTROY is refused.
    w->destroyed = true;
    if (g_window.focus == window) g_window.focus = nullptr;
    if (g_window.active == window) g_window.active = nullptr;
    std::erase_if(g_window.queue, [window](const MSG& m) { return m.hwnd == window; });
    w->procedure(window, WM_DESTROY, 0, 0);
    return TRUE;
}

HWND SetFocus(HWND window) {
    if (window != nullptr && LiveWindow(window) == nullptr) return nullptr;
    HWND previous = g_window.focus;
    g_window.focus = window;
    if (window != nullptr) g_window.active = window;
    return previous;
}

HWND GetActiveWindow() { return g_window.active; }

int ShowCursor(BOOL show) {
    g_window.cursorCount += show ? 1 : -1;
    winapi::host::SetCursorVisible(g_window.cursorCount >= 0);
    return g_window.cursorCount;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN: return winapi::host::DesktopWidth();
        case SM_CYSCREEN: return winapi::host::DesktopHeight();
        default: return 0;
    }
}

HICON LoadIconA(HINSTANCE instance, const char* name) {
    return instance == nullptr && name == IDI_APPLICATION ? &g_applicationIcon : nullptr;
}

HCURSOR LoadCursorA(HINSTANCE instance, const char* name) {
    return instance == nullptr && name == IDC_ARROW ? &g_arrowCursor : nullptr;
}

HGDIOBJ GetStockObject(int object) {
    return object == BLACK_BRUSH ? reinterpret_cast<HGDIOBJ>(&g_blackBrush) : nullptr;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    MSG ignored{};  // only read after NextMessage filled it, but never left unset
    return NextMessage(msg != nullptr ? msg : &ignored, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    MSG ignored{};  // only read after NextMessage filled it, but never left unset
    MSG* out = msg != nullptr ? msg : &ignored;
    while (!NextMessage(out, window, filterMin, filterMax, true))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return out->message == WM_QUIT ? FALSE : TRUE;
}

// The game reads no characters, so there is nothing to translate.
BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) return 0;
    Window* w = LiveWindow(msg->hwnd);
    if (w == nullptr) return 0;
    return w->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

void PostQuitMessage(int exitCode) {
    g_window.quitPending = true;
    g_window.quitCode = exitCode;
}

SHORT GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= kKeyCount) return 0;
    return g_window.keys[virtualKey];
}

DWORD GetTickCount() { return winapi::inputs::ReadClock(); }

int64_t CalendarTime() { return winapi::inputs::ReadCalendar(); }

int MessageBoxA(HWND, const char* text, const char* caption, UINT) {
    if (winapi::process::StopSignal() != 0) return IDOK;  // the run is ending: no more boxes
    std::string utf8Caption = caption != nullptr ? Utf8(caption) : std::string("Error");
    std::string utf8Text = Utf8(text);
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
    winapi::NoteReport(winapi::ReportNote::kMessageBox, utf8Caption.c_str(), utf8Text.c_str());
    winapi::host::ShowMessageBox(utf8Caption.c_str(), utf8Text.c_str());
    return IDOK;
}

void OutputDebugStringA(const char* text) {
    if (text == nullptr) return;
    std::string line = Utf8(text);
    // The game ends its lines itself; standard error gets one either way.
    std::fprintf(stderr, "%s%s", line.c_str(), !line.empty() && line.back() == '\n' ? "" : "\n");
    winapi::NoteReport(winapi::ReportNote::kDebug, "", line.c_str());
    winapi::host::DebugLine(line.c_str());
}

HMODULE GetModuleHandleA(const char* name) { return name == nullptr ? &g_module : nullptr; }

// The program carries no resources: every lookup falls through to a file.
HRSRC FindResourceA(HMODULE, const char*, const char*) { return nullptr; }

namespace winapi {

const char* WindowTitle(HWND window) {
    Window* w = LiveWindow(window);
    return w != nullptr ? w->title.c_str() : "";
}

void ResetWindowState() { g_window = WindowState{}; }

}  // namespace winapi
