// The picture last shown, kept for F12 and for a script's shots.
#include "hosts/core/shown.h"

#include <cstring>

#include "hosts/core/driver.h"

namespace core {
namespace {

struct Kept {
    bool every = false;
    bool any = false;
    Shown shown;
};

Kept g_kept;

}  // namespace

void KeepEveryPicture() { g_kept.every = true; }

void NoteShown(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    if (!g_kept.every && TheDriver().screenshot == nullptr) return;
    g_kept.shown.pixels.assign(pixels, pixels + size_t{kScreenWidth} * kScreenHeight);
    std::memcpy(g_kept.shown.palette, palette, sizeof g_kept.shown.palette);
    g_kept.any = true;
}

const Shown* LastShown() { return g_kept.any ? &g_kept.shown : nullptr; }

}  // namespace core
