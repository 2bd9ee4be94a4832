// The Win32 host's side of the settings file: read at start (before the
// window opens, so the keyboard has its keys from the first message), from
// its former name once, and written then if missing, so that the player
// finds it; its keys handed to the keyboard, the command line's choices over
// it for the run, and written when the player switches full screen (never
// the command line).
#include "hosts/win32/win32_internal.h"
#include "player/key_names.h"
#include "player/settings.h"
#include "player/settings_file.h"

namespace {

struct Remembered {
    bool loaded = false;  // without a file, nothing is written
    player::settings::File file;
    player::settings::Settings saved = player::settings::Defaults();  // as in the file
    player::options::Options chosen;
};

Remembered g_remembered;

}  // namespace

namespace win32 {

const player::settings::Settings& LoadSettings(const std::string& path, const player::options::Options& chosen) {
    g_remembered.chosen = chosen;
    const std::string settled = player::settings::MoveFormerFile(path, player::settings::FormerPath());
    g_remembered.saved = player::settings::Load(settled, KeyNameKnown, &g_remembered.file);
    g_remembered.loaded = !settled.empty();
    if (g_remembered.loaded) player::settings::WriteIfMissing(&g_remembered.file);
    ClearKeys();
    for (size_t i = 0; i < player::kKeyNames.size(); ++i)
        for (const std::string& name : g_remembered.saved.keys[i]) BindKey(name, player::kKeyNames[i].virtualKey);
    return g_remembered.saved;
}

bool StartsFullscreen() { return g_remembered.chosen.fullscreen.value_or(g_remembered.saved.fullscreen); }

player::options::ScaleMode ChosenScale() { return g_remembered.chosen.scale.value_or(g_remembered.saved.scale); }

bool PausesUnfocused() { return g_remembered.chosen.pauseUnfocused; }

void RememberFullscreen(bool fullscreen) {
    if (!g_remembered.loaded) return;
    g_remembered.saved.fullscreen = fullscreen;
    player::settings::Save(g_remembered.saved, &g_remembered.file);
}

}  // namespace win32
