// The Win32 host's window: borderless full screen on its monitor, or a window
// (Alt+Enter either way), titled and iconned as the game; the picture as a
// 256-colour DIB letterboxed, fitted (whole factors, then a smooth step) or
// by whole factors only; message boxes in UTF-16. The manifest makes the
// program aware of each monitor's DPI (kawauo.manifest).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hosts/core/picture_area.h"
#include "hosts/win32/win32_internal.h"
#include "hosts/win32/win32_resources.h"
#include "player/version.h"

namespace {

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;
constexpr wchar_t kClassName[] = L"kawauo";
constexpr DWORD kFullscreenStyle = WS_POPUP | WS_VISIBLE;
constexpr DWORD kWindowedStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

struct PictureInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// The picture at a whole factor, for the smooth step of fit to start from.
struct SharpCopy {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ former = nullptr;  // the DC's own bitmap, put back before it goes
    int factor = 0;
};

struct WindowState {
    HWND window = nullptr;
    player::options::ScaleMode scale = player::options::ScaleMode::kFit;
    bool fullscreen = true;
    bool cursorShown = true;
    bool bordersStale = true;  // the black around the picture must be painted again
    PictureInfo info{};
    std::vector<uint8_t> picture = std::vector<uint8_t>(size_t{kPictureWidth} * kPictureHeight);
    SharpCopy sharp;
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

// Where the picture goes in a client area, by the scale mode.
RECT PictureRect(int width, int height) {
    core::PictureArea area = core::PictureAreaIn(width, height, g_window.scale);
    return RECT{area.x, area.y, area.x + area.width, area.y + area.height};
}

// The whole monitor, or the largest whole scale of the picture that fits
// its work area with the frame, centred there.
RECT ModeRect(bool fullscreen) {
    MONITORINFO monitor = Monitor();
    if (fullscreen) return monitor.rcMonitor;
    const RECT& work = monitor.rcWork;
    RECT frame{0, 0, kPictureWidth, kPictureHeight};
    for (int scale = std::max(1, std::min(Width(work) / kPictureWidth, Height(work) / kPictureHeight)); scale >= 1;
         --scale) {
        frame = RECT{0, 0, kPictureWidth * scale, kPictureHeight * scale};
        AdjustWindowRectEx(&frame, kWindowedStyle, FALSE, 0);
        if (Width(frame) <= Width(work) && Height(frame) <= Height(work)) break;
    }
    int x = work.left + (Width(work) - Width(frame)) / 2;
    int y = work.top + (Height(work) - Height(frame)) / 2;
    return RECT{x, y, x + Width(frame), y + Height(frame)};
}

void ApplyMode() {
    RECT r = ModeRect(g_window.fullscreen);
    SetWindowLongPtrW(g_window.window, GWL_STYLE, g_window.fullscreen ? kFullscreenStyle : kWindowedStyle);
    SetWindowPos(g_window.window, HWND_TOP, r.left, r.top, Width(r), Height(r), SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    g_window.bordersStale = true;
}

// Every picture pixel a whole square of pixels at `to` (nearest pixel when
// shrunk): no smoothing.
void DrawSharp(HDC dc, const RECT& to) {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, to.left, to.top, Width(to), Height(to), 0, 0, kPictureWidth, kPictureHeight,
                  g_window.picture.data(), reinterpret_cast<const BITMAPINFO*>(&g_window.info), DIB_RGB_COLORS,
                  SRCCOPY);
}

void FreeSharpCopy() {
    SharpCopy& sharp = g_window.sharp;
    if (sharp.dc != nullptr) {
        SelectObject(sharp.dc, sharp.former);
        DeleteDC(sharp.dc);
    }
    if (sharp.bitmap != nullptr) DeleteObject(sharp.bitmap);
    sharp = SharpCopy{};
}

// A memory DC holding a bitmap of the picture's size times `factor`, made
// again only when the factor changes; null when it cannot be had.
HDC SharpCopyAt(HDC dc, int factor) {
    SharpCopy& sharp = g_window.sharp;
    if (sharp.dc != nullptr && sharp.factor == factor) return sharp.dc;
    FreeSharpCopy();
    sharp.dc = CreateCompatibleDC(dc);
    sharp.bitmap = CreateCompatibleBitmap(dc, kPictureWidth * factor, kPictureHeight * factor);
    if (sharp.dc == nullptr || sharp.bitmap == nullptr) {
        FreeSharpCopy();
        return nullptr;
    }
    sharp.former = SelectObject(sharp.dc, sharp.bitmap);
    sharp.factor = factor;
    return sharp.dc;
}

void Draw(HDC dc) {
    RECT client;
    GetClientRect(g_window.window, &client);
    if (Width(client) <= 0 || Height(client) <= 0) return;  // minimised
    RECT picture = PictureRect(Width(client), Height(client));
    if (g_window.bordersStale) {
        auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        const RECT borders[] = {{0, 0, client.right, picture.top},
                                {0, picture.bottom, client.right, client.bottom},
                                {0, picture.top, picture.left, picture.bottom},
                                {picture.right, picture.top, client.right, picture.bottom}};
        for (const RECT& border : borders)
            if (Width(border) > 0 && Height(border) > 0) FillRect(dc, &border, black);
        g_window.bordersStale = false;
    }
    const int factor = std::min(Width(picture) / kPictureWidth, Height(picture) / kPictureHeight);
    const bool whole = Width(picture) == kPictureWidth * factor && Height(picture) == kPictureHeight * factor;
    HDC sharp = factor >= 1 && !whole ? SharpCopyAt(dc, factor) : nullptr;
    if (sharp == nullptr) {
        DrawSharp(dc, picture);
        return;
    }
    DrawSharp(sharp, RECT{0, 0, kPictureWidth * factor, kPictureHeight * factor});
    // Only the last step, less than a whole factor, is smoothed.
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, picture.left, picture.top, Width(picture), Height(picture), sharp, 0, 0, kPictureWidth * factor,
               kPictureHeight * factor, SRCCOPY);
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
            g_window.bordersStale = true;
            Draw(dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SIZE: g_window.bordersStale = true; return 0;
        case WM_DISPLAYCHANGE:
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
    g_window.bordersStale = true;
    RECT r = ModeRect(g_window.fullscreen);
    g_window.window = CreateWindowExW(0, kClassName, Wide(KAWAUO_NAME).c_str(),
                                      g_window.fullscreen ? kFullscreenStyle : kWindowedStyle, r.left, r.top, Width(r),
                                      Height(r), nullptr, nullptr, instance, nullptr);
    if (g_window.window == nullptr) {
        std::fprintf(stderr, "kawauo: cannot open the window: error %lu\n", GetLastError());
        return false;
    }

    BITMAPINFOHEADER& header = g_window.info.header;
    header.biSize = sizeof header;
    header.biWidth = kPictureWidth;
    header.biHeight = -kPictureHeight;  // rows top-down, as the game keeps them
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biClrUsed = 256;
    SetForegroundWindow(g_window.window);
    SetFocus(g_window.window);
    return true;
}

void CloseGameWindow() {
    FreeSharpCopy();
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
    for (int i = 0; i < 256; ++i) {
        const uint8_t* entry = rgbx + 4 * i;
        g_window.info.colours[i] = RGBQUAD{entry[2], entry[1], entry[0], 0};
    }
    std::memcpy(g_window.picture.data(), pixels, g_window.picture.size());
    HDC dc = GetDC(g_window.window);
    Draw(dc);
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
