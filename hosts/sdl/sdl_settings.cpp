// The SDL host's side of the settings file: read at start, its keys handed
// to the keyboard, and written when the player switches full screen or
// resizes the window (only what the player changed, never the command line).
#include <SDL.h>

#include "hosts/sdl/sdl_internal.h"
#include "player/settings.h"

namespace {

constexpr uint32_t kResizeQuietMs = 500;  // a window dragged to size is saved once it rests

struct Remembered {
    bool loaded = false;  // without a file, nothing is written
    player::settings::File file;
    player::settings::Settings saved = player::settings::Defaults();  // as in the file
    bool sizeWaiting = false;
    uint32_t sizeChangedAt = 0;
};

Remembered g_remembered;

void Save() { player::settings::Save(g_remembered.saved, &g_remembered.file); }

}  // namespace

namespace sdl {

bool KeyNameKnown(const std::string& name) { return SDL_GetKeyFromName(name.c_str()) != SDLK_UNKNOWN; }

const player::settings::Settings& LoadSettings(const std::string& path) {
    g_remembered.saved = player::settings::Load(path, KeyNameKnown, &g_remembered.file);
    g_remembered.loaded = !path.empty();
    UseKeys(g_remembered.saved);
    return g_remembered.saved;
}

const player::settings::Settings& SavedSettings() { return g_remembered.saved; }

void RememberFullscreen(bool fullscreen) {
    if (!g_remembered.loaded) return;
    g_remembered.saved.fullscreen = fullscreen;
    Save();
}

void RememberWindowSize(int width, int height) {
    if (!g_remembered.loaded) return;
    g_remembered.saved.windowWidth = width;
    g_remembered.saved.windowHeight = height;
    g_remembered.sizeWaiting = true;
    g_remembered.sizeChangedAt = SDL_GetTicks();
}

void SaveResting(bool closing) {
    if (!g_remembered.sizeWaiting) return;
    if (!closing && SDL_GetTicks() - g_remembered.sizeChangedAt < kResizeQuietMs) return;
    g_remembered.sizeWaiting = false;
    Save();
}

}  // namespace sdl
