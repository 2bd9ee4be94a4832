// The Win32 host's window: borderless full screen on its monitor, or a window
// (Alt+Enter either way), titled and iconned as the game, showing the picture
// (win32_present.cpp); message boxes in UTF-16. The manifest makes the
// program aware of each monitor's DPI (kawauo.manifest).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hosts/core/picture_area.h"
#include "hosts/win32/win32_internal.h"
#include "hosts/win32/win32_present.h"
#include "hosts/win32/win32_resources.h"
#include "player/version.h"

namespace {

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;
constexpr wchar_t kClassName[] = L"kawauo";
constexpr DWORD kFullscreenStyle = WS_POPUP | WS_VISIBLE;
constexpr DWORD kWindowedStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

struct WindowState {
    HWND window = nullptr;
    player::options::ScaleMode scale = player::options::ScaleMode::kFit;
    bool fullscreen = true;
    bool cursorShown = true;
};

WindowState g_window;

MONITORINFO Monitor() {
    HMONITOR monitor = g_window.window != nullptr ? MonitorFromWindow(g_window.window, MONITOR_DEFAULTTONEAREST)
                                                  : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info) == 0) {
        info.rcMonitor = RECT{0, 0, kPictureWidth, kPictureHeight};
        info.rcWork = info.rcMonitor;
    }
    return info;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The whole monitor, or the window nobody sized (core::DefaultWindowIn) in
// the room its work area leaves the client, centred there.
RECT ModeRect(bool fullscreen) {
    MONITORINFO monitor = Monitor();
    if (fullscreen) return monitor.rcMonitor;
    const RECT& work = monitor.rcWork;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, kWindowedStyle, FALSE, 0);
    const core::PictureArea client =
        core::DefaultWindowIn(Width(work) - Width(frame), Height(work) - Height(frame), g_window.scale);
    frame = RECT{0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, kWindowedStyle, FALSE, 0);
    int x = work.left + (Width(work) - Width(frame)) / 2;
    int y = work.top + (Height(work) - Height(frame)) / 2;
    return RECT{x, y, x + Width(frame), y + Height(frame)};
}

void ApplyMode() {
    RECT r = ModeRect(g_window.fullscreen);
    SetWindowLongPtrW(g_window.window, GWL_STYLE, g_window.fullscreen ? kFullscreenStyle : kWindowedStyle);
    // No bits copied from the old client: the bars are painted anew.
    SetWindowPos(g_window.window, HWND_TOP, r.left, r.top, Width(r), Height(r),
                 SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOCOPYBITS);
    win32::present::BarsStale();
}

bool AltHeld(LPARAM lParam) { return (HIWORD(lParam) & KF_ALTDOWN) != 0; }

// Every key goes to the core, which takes Alt+Enter for itself; Alt+F4
// closes as in every other program.
LRESULT OnKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    win32::KeyChanged(static_cast<int>(wParam), down, static_cast<uint32_t>(lParam), AltHeld(lParam));
    const bool system = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
    return system && !(wParam == VK_RETURN && AltHeld(lParam)) ? DefWindowProcW(window, message, wParam, lParam) : 0;
}

void HearFocus(bool focused) { core::Hear(core::RawEvent{.kind = core::RawKind::kFocus, .down = focused}); }

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: return OnKey(window, message, wParam, lParam);
        case WM_SETFOCUS: HearFocus(true); return 0;
        case WM_KILLFOCUS: HearFocus(false); return 0;
        case WM_CLOSE: core::Hear(core::RawEvent{.kind = core::RawKind::kClose}); return 0;
        case WM_SYSCOMMAND:
            // Alt alone must not open the window menu and stop the game; the
            // screen saver waits while the game fills the screen.
            if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
            if (g_window.fullscreen && ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER))
                return 0;
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                SetCursor(g_window.cursorShown ? LoadCursorW(nullptr, IDC_ARROW) : nullptr);
                return TRUE;
            }
            break;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            // Frames stop while a message box is open: the last one is shown again.
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            win32::present::BarsStale();
            win32::present::Draw(window, dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SIZE: win32::present::BarsStale(); return 0;
        case WM_DISPLAYCHANGE:
            win32::present::BarsStale();
            if (g_window.fullscreen) ApplyMode();
            return 0;
        case WM_DPICHANGED:
            if (!g_window.fullscreen) {
                const RECT* r = reinterpret_cast<const RECT*>(lParam);
                SetWindowPos(window, nullptr, r->left, r->top, Width(*r), Height(*r), SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

namespace win32 {

void MonitorSize(int* width, int* height) {
    const RECT monitor = Monitor().rcMonitor;
    *width = Width(monitor);
    *height = Height(monitor);
}

void SetFullscreen(bool fullscreen) {
    g_window.fullscreen = fullscreen;
    ApplyMode();
}

bool OpenGameWindow(bool fullscreen, player::options::ScaleMode scale) {
    if (g_window.window != nullptr) return true;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(KAWAUO_ICON));
    windowClass.hIconSm =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(KAWAUO_ICON), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        std::fprintf(stderr, "kawauo: cannot register the window class: error %lu\n", GetLastError());
        return false;
    }

    g_window.fullscreen = fullscreen;
    g_window.scale = scale;
    win32::present::UseScaleMode(scale);
    RECT r = ModeRect(g_window.fullscreen);
    g_window.window = CreateWindowExW(0, kClassName, Wide(KAWAUO_NAME).c_str(),
                                      g_window.fullscreen ? kFullscreenStyle : kWindowedStyle, r.left, r.top, Width(r),
                                      Height(r), nullptr, nullptr, instance, nullptr);
    if (g_window.window == nullptr) {
        std::fprintf(stderr, "kawauo: cannot open the window: error %lu\n", GetLastError());
        return false;
    }

    SetForegroundWindow(g_window.window);
    SetFocus(g_window.window);
    return true;
}

void CloseGameWindow() {
    win32::present::Free();
    if (g_window.window != nullptr) DestroyWindow(g_window.window);
    g_window.window = nullptr;
}

void SetCursorShown(bool shown) {
    g_window.cursorShown = shown;
    POINT point;
    if (g_window.window != nullptr && GetCursorPos(&point) && WindowFromPoint(point) == g_window.window)
        SetCursor(shown ? LoadCursorW(nullptr, IDC_ARROW) : nullptr);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void WaitForMessages(uint32_t ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    PumpMessages();
}

void ShowPicture(const uint8_t* pixels, const uint8_t* rgbx) {
    if (g_window.window == nullptr) return;
    win32::present::Keep(pixels, rgbx);
    HDC dc = GetDC(g_window.window);
    win32::present::Draw(g_window.window, dc);
    ReleaseDC(g_window.window, dc);
}

void ShowBox(const char* utf8Caption, const char* utf8Text) {
    MessageBoxW(g_window.window, Wide(utf8Text).c_str(), Wide(utf8Caption).c_str(), MB_OK | MB_ICONERROR);
}

void DebugLine(const char* utf8Text) { OutputDebugStringW(Wide(utf8Text).c_str()); }

std::filesystem::path ProgramFolder() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return std::filesystem::path();
        if (length < name.size()) return std::filesystem::path(std::wstring(name.data(), length)).parent_path();
        name.resize(name.size() * 2);
    }
}

}  // namespace win32
