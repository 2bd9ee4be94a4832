// The surface registry: every picture is created through it, and it draws
// lost surfaces again from their bitmaps when the game regains the foreground.
#include "display/registry.h"

#include <cstring>

#include "app/app.h"
#include "display/device.h"
#include "display/surface.h"
#include "display/texts.h"

IDirectDrawSurface* g_surfaces[kMaxSurfaces];
char g_surfaceNames[kMaxSurfaces][kSurfaceNameSize];
int32_t g_surfaceCount = 0;
char g_paletteFile[kSurfaceNameSize];

namespace {

// A picture that cannot be had ends the run before its first frame; WinMain
// then skips releasing the game's surfaces.
void StopTheRun() {
    g_fatalLoadError = 1;
    PostQuitMessage(0);
}

}  // namespace

// Called by LoadAssets for each picture. Success is seen in *out being set;
// the caller goes on registering after a failure, and each failure shows its
// own box.
void RegisterSurface(IDirectDrawSurface** out, const char* name) {
    if (g_surfaceCount >= kMaxSurfaces) {
        MessageBoxA(g_mainWindow, kTextRegistryOverflow, kTextRegistryOverflowCaption, MB_OK);
        for (int32_t i = 0; i < g_surfaceCount; ++i) {
            if (g_surfaces[i] != nullptr) {
                g_surfaces[i]->Release();
                g_surfaces[i] = nullptr;
            }
        }
        StopTheRun();  // *out is left as the caller had it
        return;
    }
    // A name that does not fit its slot could not be reloaded after a loss,
    // so it is refused like a missing picture rather than cut short.
    bool fits = name != nullptr && std::strlen(name) < kSurfaceNameSize;
    *out = fits ? DDCreateSurface(name) : nullptr;
    if (*out == nullptr) {
        MessageBoxA(g_mainWindow, kTextCreateFailed, kTextCreateFailedCaption, MB_OK);
        StopTheRun();
        return;
    }
    g_surfaces[g_surfaceCount] = *out;
    std::memcpy(g_surfaceNames[g_surfaceCount], name, std::strlen(name) + 1);
    ++g_surfaceCount;
}

// Called by the window procedure each time the game becomes active again.
// Only the lost get restored; nothing is drawn onto the back buffer here, the
// next frame draws everything anew. Results are not examined: a surface whose
// reload fails shows whatever the platform left until its next loss.
void RestoreSurfaces() {
    if (g_primary != nullptr && g_primary->IsLost() != DD_OK) {
        g_primary->Restore();  // brings its back buffer back too
        LoadPaletteFromBitmap(g_paletteFile);
    }
    for (int32_t i = 0; i < g_surfaceCount; ++i) {
        if (g_surfaces[i] != nullptr && g_surfaces[i]->IsLost() != DD_OK) {
            g_surfaces[i]->Restore();
            DDReLoadSurface(g_surfaces[i], g_surfaceNames[i]);
        }
    }
}
