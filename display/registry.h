// The surface registry: every picture is created through it, and it brings
// lost surfaces back when the game regains the foreground.
#pragma once
#include <cstdint>

#include "winapi/ddraw.h"

constexpr int kMaxSurfaces = 100;
constexpr int kSurfaceNameSize = 100;

extern IDirectDrawSurface* g_surfaces[kMaxSurfaces];
extern char g_surfaceNames[kMaxSurfaces][kSurfaceNameSize];
extern int32_t g_surfaceCount;
extern char g_paletteFile[kSurfaceNameSize];  // written by LoadAssets

void RegisterSurface(IDirectDrawSurface** out, const char* name);
void RestoreSurfaces();
