// Entry, the main window and the message loop.
#pragma once
#include <cstdint>

#include "winapi/win.h"

extern HWND g_mainWindow;         // the "2DGAME" popup; owner of the load-error boxes
extern int32_t g_appActive;       // wParam of the last WM_ACTIVATEAPP
extern int32_t g_fatalLoadError;  // 1 once a picture failed to load or register

int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
