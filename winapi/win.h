// Window, message queue, key state, clock, message boxes and debug output:
// the Win32 services the game was written against, and only those it calls.
#pragma once
#include <cstdint>
#include <cstdio>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using BOOL = int32_t;
using SHORT = int16_t;
using ATOM = uint16_t;
using HRESULT = int32_t;
using COLORREF = uint32_t;  // 0x00BBGGRR
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using HANDLE = void*;

struct Window;
struct Module;
struct Icon;
struct Cursor;
struct Menu;
struct Resource;
struct GdiObject;
struct DeviceContext;
using HWND = Window*;
using HINSTANCE = Module*;
using HMODULE = Module*;
using HICON = Icon*;
using HCURSOR = Cursor*;
using HMENU = Menu*;
using HRSRC = Resource*;
using HGDIOBJ = GdiObject*;
using HBRUSH = GdiObject*;
using HBITMAP = GdiObject*;
using HDC = DeviceContext*;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Messages the game sees.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_VISIBLE = 0x10000000u;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int BLACK_BRUSH = 4;
constexpr int SW_SHOWDEFAULT = 10;

constexpr UINT MB_OK = 0x0000;
constexpr int IDOK = 1;

// Virtual keys the game reads.
constexpr int VK_TAB = 0x09;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;

// Stock resource names, as integer atoms in a name pointer.
inline const char* const IDI_APPLICATION = reinterpret_cast<const char*>(uintptr_t{32512});
inline const char* const IDC_ARROW = reinterpret_cast<const char*>(uintptr_t{32512});
inline const char* const RT_BITMAP = reinterpret_cast<const char*>(uintptr_t{2});

// The game's entry point: defined by the game, called by the platform's start-up
// with the module handle, and its result becomes the process exit status.
int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);

// Window class and the one popup window.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND window);  // sends WM_DESTROY to the window procedure
HWND SetFocus(HWND window);
HWND GetActiveWindow();
int ShowCursor(BOOL show);
int GetSystemMetrics(int index);
HICON LoadIconA(HINSTANCE instance, const char* name);
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
HGDIOBJ GetStockObject(int object);

// The thread's message queue. WM_QUIT counts as waiting once posted and is
// returned once, after every other waiting message.
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Key state as of the last key message taken off the queue: 0xFF80/0xFF81 held,
// 0x0000/0x0001 released; bit 0 toggles with each press.
SHORT GetKeyState(int virtualKey);

// Milliseconds since the program started, wrapping at 2^32.
DWORD GetTickCount();

// Seconds since the epoch, as the C library's time() reports them.
int64_t CalendarTime();

// Modal box with an OK button; caption and text are CP932. Also written to
// standard error so that a player at a terminal sees why the game stopped.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
// One line to the debugger: here, standard error as UTF-8.
void OutputDebugStringA(const char* text);

// The program's module, and its bitmap resources (it carries none).
HMODULE GetModuleHandleA(const char* name);
HRSRC FindResourceA(HMODULE module, const char* name, const char* type);

// The C runtime's fopen for the game's own names ("bmp\\back.bmp"), which
// are relative to the working directory with backslash separators.
FILE* OpenGameFile(const char* name, const char* mode);
