// The display device: DirectDraw object, flip chain, clipper and palette.
#pragma once
#include "winapi/ddraw.h"
#include "winapi/default_palette.h"  // FillDefaultPalette

extern IDirectDraw* g_dd;
extern IDirectDrawSurface* g_primary;
extern IDirectDrawSurface* g_back;  // belongs to g_primary's chain; never released alone
extern IDirectDrawPalette* g_ddPalette;
extern IDirectDrawClipper* g_clipper;
extern HWND g_errorOwner;
extern PALETTEENTRY g_palette[256];

// Builds the device at start-up; 1 when it all stands, 0 after the first
// failure (already reported).
int InitDirectDraw();
// The palette from a bitmap's colour table, where its headers put it, over
// the default 3-3-2 entries; a picture of more than 8 bits a pixel has no
// table and leaves the palette as it was. Returns SetEntries' result.
HRESULT LoadPaletteFromBitmap(const char* name);
void ReleaseDirectDraw();
