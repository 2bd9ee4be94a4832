// The Win32 host's window: borderless full screen on its monitor, or a window
// (Alt+Enter either way), titled and iconned as the game, showing the picture
// as the core draws the client (core::window_frame: fit by our own
// conversion, never by GDI's stretching, the black around the picture),
// copied 1:1; message boxes in UTF-16. The manifest makes the program aware
// of each monitor's DPI (kawauo.manifest).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hosts/core/picture_area.h"
#include "hosts/core/window_frame.h"
#include "hosts/win32/win32_internal.h"
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
    bool applying = false;  // the window's size is the driver's own doing, not the player's
    int width = 0;          // the window's client as the player last sized it; 0: never
    int height = 0;
    bool cursorShown = true;
    uint8_t picture[kPictureWidth * kPictureHeight] = {};  // the last shown, for a paint
    uint8_t rgbx[256 * 4] = {};
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

// The whole monitor, or the window core::WindowIn gives in the room its work
// area leaves the client, centred there.
RECT ModeRect(bool fullscreen) {
    MONITORINFO monitor = Monitor();
    if (fullscreen) return monitor.rcMonitor;
    const RECT& work = monitor.rcWork;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, kWindowedStyle, FALSE, 0);
    const int roomWidth = Width(work) - Width(frame), roomHeight = Height(work) - Height(frame);
    const core::PictureArea client =
        core::WindowIn(roomWidth, roomHeight, g_window.width, g_window.height, g_window.scale);
    frame = RECT{0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, kWindowedStyle, FALSE, 0);
    int x = work.left + (Width(work) - Width(frame)) / 2;
    int y = work.top + (Height(work) - Height(frame)) / 2;
    return RECT{x, y, x + Width(frame), y + Height(frame)};
}

// The kept picture drawn by the core into the client, and the part it names
// copied to the window.
void Draw(HDC dc) {
    RECT client;
    GetClientRect(g_window.window, &client);
    const core::window_frame::Frame frame =
        core::window_frame::Draw(g_window.picture, g_window.rgbx, Width(client), Height(client), g_window.scale);
    const core::window_frame::Part& part = frame.part;
    if (part.width <= 0 || part.height <= 0) return;  // minimised
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = -part.height;  // the part's rows, top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, part.x, part.y, part.width, part.height, part.x, 0, 0, part.height,
                      frame.pixels + static_cast<ptrdiff_t>(part.y) * frame.width, &info, DIB_RGB_COLORS);
}

void ApplyMode() {
    RECT r = ModeRect(g_window.fullscreen);
    SetWindowLongPtrW(g_window.window, GWL_STYLE, g_window.fullscreen ? kFullscreenStyle : kWindowedStyle);
    // No bits copied from the old client: the bars are painted anew.
    g_window.applying = true;
    SetWindowPos(g_window.window, HWND_TOP, r.left, r.top, Width(r), Height(r),
                 SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOCOPYBITS);
    g_window.applying = false;
    core::window_frame::Repaint();
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

// A window the player sized is remembered (not one maximised, minimised or
// made by the driver itself); a restored window may have lost its pixels.
void OnSize(WPARAM how, int width, int height) {
    core::window_frame::Repaint();
    if (g_window.fullscreen || g_window.applying || how != SIZE_RESTORED || width <= 0 || height <= 0) return;
    g_window.width = width;
    g_window.height = height;
    core::Hear(core::RawEvent{.kind = core::RawKind::kResized, .width = width, .height = height});
}

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
            core::window_frame::Repaint();
            Draw(dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SIZE: OnSize(wParam, LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_DISPLAYCHANGE:
            core::window_frame::Repaint();
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

bool OpenGameWindow(bool fullscreen, player::options::ScaleMode scale, int width, int height) {
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
    g_window.width = width;
    g_window.height = height;
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
    std::memcpy(g_window.picture, pixels, sizeof g_window.picture);
    std::memcpy(g_window.rgbx, rgbx, sizeof g_window.rgbx);
    HDC dc = GetDC(g_window.window);
    Draw(dc);
    ReleaseDC(g_window.window, dc);
}

void ShowBox(const char* utf8Caption, const char* utf8Text) {
    MessageBoxW(g_window.window, Wide(utf8Text).c_str(), Wide(utf8Caption).c_str(), MB_OK | MB_ICONERROR);
}

void ShowNote(const char* utf8Text) {
    if (g_window.window == nullptr) return;
    const std::string name = KAWAUO_NAME;
    SetWindowTextW(g_window.window, Wide(utf8Text[0] == '\0' ? name : name + " \u2014 " + utf8Text).c_str());
}

bool CopyText(const char* utf8Text) {
    const std::wstring text = Wide(utf8Text);
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) return false;
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    // Once set, the clipboard owns the memory; else it is still ours.
    bool copied = false;
    if (OpenClipboard(g_window.window)) {
        copied = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
    }
    if (!copied) GlobalFree(memory);
    return copied;
}

void DebugLine(const char* utf8Text) { OutputDebugStringW(Wide(utf8Text).c_str()); }

}  // namespace win32
