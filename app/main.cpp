// Entry, the main window and the message loop that runs a frame whenever no
// message is waiting.
#include "app/app.h"

#include "display/device.h"
#include "display/registry.h"
#include "game/assets.h"
#include "game/frame.h"

HWND g_mainWindow = nullptr;
int32_t g_appActive = 0;
int32_t g_fatalLoadError = 0;

namespace {

constexpr char kWindowName[] = "2DGAME";
// Exit status of a run that could not start or could not load its pictures:
// such a run must not be reported as a success.
constexpr int kExitFailure = 1;

}  // namespace

// The "2DGAME" popup over the whole desktop, shown by its style, focused so
// that InitDirectDraw finds it active, with the mouse cursor hidden. The show
// command is not used.
int CreateMainWindow(HINSTANCE instance, int /*showCommand*/) {
    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetStockObject(BLACK_BRUSH);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kWindowName;
    if (RegisterClassA(&windowClass) == 0) return 0;

    g_mainWindow =
        CreateWindowExA(0, kWindowName, kWindowName, WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    if (g_mainWindow == nullptr) return 0;
    SetFocus(g_mainWindow);
    ShowCursor(FALSE);
    return 1;
}

// ESC and a close request end the program; regaining the foreground brings
// lost surfaces back. The game reads its other keys from the key state, so
// every key-down stops here.
LRESULT MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY: PostQuitMessage(0); return 0;
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_ACTIVATEAPP:
            g_appActive = static_cast<int32_t>(wParam);
            if (wParam != 0 && g_dd != nullptr) RestoreSurfaces();
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) DestroyWindow(window);
            return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Window, display, pictures; then every waiting message is dispatched before
// the next frame runs, until the quit request. Nothing is released when the
// start fails: the process ends at once.
int WinMain(HINSTANCE instance, HINSTANCE /*previous*/, char* /*commandLine*/, int showCommand) {
    if (CreateMainWindow(instance, showCommand) == 0) return kExitFailure;
    if (InitDirectDraw() == 0) return kExitFailure;
    LoadAssets();

    MSG msg{};
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageA(&msg, nullptr, 0, 0) == 0) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            RunFrame();
        }
    }
    // After a failed picture the game's surfaces are not all there to release.
    if (g_fatalLoadError != 1) ReleaseAssets();
    ReleaseDirectDraw();
    if (g_fatalLoadError == 1) return kExitFailure;
    return static_cast<int>(msg.wParam);
}
