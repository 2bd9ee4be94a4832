// GDI as the game uses it: bitmaps loaded from files, device contexts on
// memory and on surfaces, the 1:1 copy with palette matching, and text.
#pragma once
#include <vector>

#include "winapi/ddraw.h"
#include "winapi/win.h"

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT LR_LOADFROMFILE = 0x0010;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// A bitmap resource of the module (there are none) or, with LR_LOADFROMFILE,
// a BMP file; the game's backslash names are read as '/' paths relative to
// the working directory. Null for anything missing or malformed.
HANDLE LoadImageA(HINSTANCE instance, const char* name, UINT type, int width, int height, UINT flags);
// The colour table of the BMP file `name` (a backslash name, as above), read
// from where its headers put it, and its bits a pixel; `table` is empty above
// 8 bits. False when the file is missing or not a picture this GDI reads.
bool ReadBitmapColourTable(const char* name, int* bits, std::vector<PALETTEENTRY>* table);
HDC CreateCompatibleDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
int GetObjectA(HGDIOBJ object, int size, void* out);
BOOL DeleteDC(HDC dc);
BOOL DeleteObject(HGDIOBJ object);
// Copies a memory context's bitmap onto a surface's context, each colour
// matched to the nearest entry of the display palette.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, int sw, int sh, DWORD rop);
int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF colour);
// CP932 text in the 16-dot font; (x, y) is the top-left of the first cell.
BOOL TextOutA(HDC dc, int x, int y, const char* text, int length);
