// Bitmap surfaces and the three drawing primitives every picture and text
// goes through.
#pragma once
#include <cstdint>

#include "winapi/ddraw.h"

IDirectDrawSurface* DDCreateSurface(const char* name);
int DDReLoadSurface(IDirectDrawSurface* surface, const char* name);
HRESULT BltStretch(IDirectDrawSurface* dest, int32_t x, int32_t y, int32_t w, int32_t h, IDirectDrawSurface* src,
                   int32_t sx, int32_t sy, int32_t sw, int32_t sh);
HRESULT BltKeyed(IDirectDrawSurface* dest, int32_t x, int32_t y, int32_t w, int32_t h, IDirectDrawSurface* src,
                 int32_t sx, int32_t sy, int32_t sw, int32_t sh);
void DrawString(int32_t x, int32_t y, const char* text, COLORREF colour);
