// The Win32 host's side of the settings file: read at start (before the
// window opens, so the keyboard has its keys from the first message), its
// keys handed to the keyboard, the command line's choices over it for the run, and
// written when the player switches full screen (never the command line).
#include "hosts/shared/key_names.h"
#include "hosts/shared/settings.h"
#include "hosts/win32/win32_internal.h"

namespace {

struct Remembered {
    bool loaded = false;  // without a file, nothing is written
    settings::File file;
    settings::Settings saved = settings::Defaults();  // as in the file
    options::Options chosen;
};

Remembered g_remembered;

}  // namespace

namespace win32host {

const settings::Settings& LoadSettings(const std::string& path, const options::Options& chosen) {
    g_remembered.chosen = chosen;
    g_remembered.saved = settings::Load(path, KeyNameKnown, &g_remembered.file);
    g_remembered.loaded = !path.empty();
    ClearKeys();
    for (size_t i = 0; i < platform::kKeyNames.size(); ++i)
        for (const std::string& name : g_remembered.saved.keys[i]) BindKey(name, platform::kKeyNames[i].virtualKey);
    return g_remembered.saved;
}

bool StartsFullscreen() { return g_remembered.chosen.fullscreen.value_or(g_remembered.saved.fullscreen); }

options::ScaleMode ChosenScale() { return g_remembered.chosen.scale.value_or(g_remembered.saved.scale); }

bool PausesUnfocused() { return g_remembered.chosen.pauseUnfocused; }

void RememberFullscreen(bool fullscreen) {
    if (!g_remembered.loaded) return;
    g_remembered.saved.fullscreen = fullscreen;
    settings::Save(g_remembered.saved, &g_remembered.file);
}

}  // namespace win32host
