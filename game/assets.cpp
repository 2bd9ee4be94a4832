// The 33 pictures: loading them at start-up and releasing them at exit.
#include "game/assets.h"

#include <cstdio>

#include "display/device.h"
#include "display/registry.h"
#include "game/drift.h"
#include "game/frame.h"
#include "game/moves.h"
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

struct CatalogueEntry {
    IDirectDrawSurface** holder;
    const char* file;
};

// Registration order, which is also the order the registry restores them in.
// The floating-object slots do not follow the files' digits.
const CatalogueEntry kCatalogue[] = {
    {&g_picBack, "bmp\\back.bmp"},
    {&g_picBack2, "bmp\\back2.bmp"},
    {&g_picBack3, "bmp\\back3.bmp"},
    {&g_picPush, "bmp\\push.bmp"},
    {&g_picAwa, "bmp\\awa.bmp"},
    {&g_picOpn, "bmp\\opn.bmp"},
    {&g_picFish1, "bmp\\fish1.bmp"},
    {&g_picFish2, "bmp\\fish2.bmp"},
    {&g_picFishT, "bmp\\fisht.bmp"},
    {&g_picMove[kMoveSokodikara][0], "bmp\\sokodikara1.bmp"},
    {&g_picMove[kMoveSokodikara][1], "bmp\\sokodikara2.bmp"},
    {&g_picMove[kMoveSokodikara][2], "bmp\\sokodikara3.bmp"},
    {&g_picMove[kMoveTomogui][0], "bmp\\tomogui1.bmp"},
    {&g_picMove[kMoveTomogui][1], "bmp\\tomogui2.bmp"},
    {&g_picMove[kMoveTomogui][2], "bmp\\tomogui3.bmp"},
    {&g_picMove[kMoveFait][0], "bmp\\fait1.bmp"},
    {&g_picMove[kMoveFait][1], "bmp\\fait2.bmp"},
    {&g_picMove[kMoveFait][2], "bmp\\fait3.bmp"},
    {&g_picHenge[0], "bmp\\henge0.bmp"},
    {&g_picHenge[1], "bmp\\henge1.bmp"},
    {&g_picHenge[2], "bmp\\henge2.bmp"},
    {&g_picHenge[3], "bmp\\henge3.bmp"},
    {&g_picHenge[4], "bmp\\henge4.bmp"},
    {&g_picHenge[5], "bmp\\henge5.bmp"},
    {&g_picHenge[6], "bmp\\henge6.bmp"},
    {&g_picHenge[7], "bmp\\henge7.bmp"},
    {&g_picHenge[8], "bmp\\henge8.bmp"},
    {&g_picSyougai[0], "bmp\\syougai1.bmp"},
    {&g_picSyougai[1], "bmp\\syougai0.bmp"},
    {&g_picSyougai[2], "bmp\\syougai2.bmp"},
    {&g_picSyougai[3], "bmp\\syougai4.bmp"},
    {&g_picSyougai[4], "bmp\\syougai5.bmp"},
    {&g_picSyougai[5], "bmp\\syougai3.bmp"},
};

constexpr int32_t kDriftSizes[kDriftSlots] = {38, 60, 113, 113, 113, 113};

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
    for (const CatalogueEntry& entry : kCatalogue) RegisterSurface(entry.holder, entry.file);
    for (int i = 0; i < kDriftSlots; ++i) g_drift[i].size = kDriftSizes[i];
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
    IDirectDrawSurface** singles[] = {&g_picBack, &g_picBack2, &g_picBack3, &g_picPush, &g_picAwa,
                                      &g_picOpn,  &g_picFish1, &g_picFish2, &g_picFishT};
    for (IDirectDrawSurface** holder : singles) ReleaseHolder(holder);
    for (auto& move : g_picMove)
        for (IDirectDrawSurface*& picture : move) ReleaseHolder(&picture);
    for (IDirectDrawSurface*& picture : g_picHenge) ReleaseHolder(&picture);
    for (IDirectDrawSurface*& picture : g_picSyougai) ReleaseHolder(&picture);
}
