// DirectDraw error reports: the code's name and the failed step, to the
// debugger and in a box.
#pragma once
#include "winapi/win.h"

// The SDK name of a result code, or "??? Unknown Error".
const char* DDErrorName(HRESULT code);
int ReportDDError(const char* label, HRESULT code);
