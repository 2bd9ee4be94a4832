// The 33 pictures: loading them at start-up and releasing them at exit.
#include "game/assets.h"

#include <cstdio>

#include "display/device.h"
#include "display/registry.h"
#include "game/drift.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/picture_table.h"
#include "game/random.h"
#include "game/river.h"

IDirectDrawSurface* g_picBack;
IDirectDrawSurface* g_picBack2;
IDirectDrawSurface* g_picBack3;
IDirectDrawSurface* g_picPush;
IDirectDrawSurface* g_picAwa;
IDirectDrawSurface* g_picOpn;
IDirectDrawSurface* g_picFish1;
IDirectDrawSurface* g_picFish2;
IDirectDrawSurface* g_picFishT;
IDirectDrawSurface* g_picMove[3][3];
IDirectDrawSurface* g_picHenge[9];
IDirectDrawSurface* g_picSyougai[6];

namespace {

constexpr const char* kPaletteFile = "bmp\\back.bmp";

// Where the game holds the picture of one row of the table.
IDirectDrawSurface** Holder(const PictureFile& file) {
    switch (file.role) {
        case PictureRole::River: return &g_picBack;
        case PictureRole::MutationFlash: return &g_picBack2;
        case PictureRole::HitFlash: return &g_picBack3;
        case PictureRole::Pause: return &g_picPush;
        case PictureRole::Bubbles: return &g_picAwa;
        case PictureRole::Title: return &g_picOpn;
        case PictureRole::Fish: return file.index == 0 ? &g_picFish1 : &g_picFish2;
        case PictureRole::Wake: return &g_picFishT;
        case PictureRole::Sokodikara: return &g_picMove[kMoveSokodikara][file.index];
        case PictureRole::Tomogui: return &g_picMove[kMoveTomogui][file.index];
        case PictureRole::Fait: return &g_picMove[kMoveFait][file.index];
        case PictureRole::Mutation: return &g_picHenge[file.index];
        case PictureRole::Drift: return &g_picSyougai[file.index];
    }
    return nullptr;
}

void ReleaseHolder(IDirectDrawSurface** holder) {
    if (*holder == nullptr) return;
    (*holder)->Release();
    *holder = nullptr;
}

}  // namespace

// Start-up: seed, palette, every picture (a failure is reported by the
// registry and loading goes on), object sizes, bubbles, title scene.
void LoadAssets() {
    SeedRandom(static_cast<uint32_t>(CalendarTime()));
    LoadPaletteFromBitmap(kPaletteFile);
    std::snprintf(g_paletteFile, sizeof g_paletteFile, "%s", kPaletteFile);
    for (const PictureFile& file : kPictureFiles) {
        char path[kSurfaceNameSize];
        std::snprintf(path, sizeof path, "bmp\\%s", file.name);
        RegisterSurface(Holder(file), path);
        // A floating object is as big as its picture.
        if (file.role == PictureRole::Drift) g_drift[file.index].size = file.width;
    }
    for (BubbleSprite& bubble : g_bubbles) {
        bubble.x = Random() % (kScreenWidth - 16);
        bubble.y = Random() % (kScreenHeight - 16);
        bubble.waitPending = 1;
        bubble.animPending = 1;
        bubble.direction = 1;
    }
    g_scene = kSceneTitle;
    g_keyLatch = 0;
}

// Releases the game's pictures; the registry's own list is left alone, since
// the display goes next.
void ReleaseAssets() {
    for (const PictureFile& file : kPictureFiles) ReleaseHolder(Holder(file));
}
