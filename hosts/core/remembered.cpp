// What the player's settings remember, for every driver: the file read at
// start with the command line over it, and what the player changes written
// back (only that), by the core's writer.
#include "hosts/core/remembered.h"

#include "hosts/core/keys.h"
#include "hosts/core/worker.h"
#include "winapi/text.h"
#include "winapi/texts.h"

namespace core {
namespace {

constexpr uint32_t kResizeQuietMs = 500;  // a window dragged to size is saved once it rests

bool NoKeys(const std::string&) { return false; }

struct Remembered {
    bool loaded = false;                                              // without a file, nothing is written
    player::settings::Settings saved = player::settings::Defaults();  // as last read or saved
    player::options::Options chosen;
    bool sizeWaiting = false;
    uint32_t sizeChangedAt = 0;
};

Remembered g_remembered;

// The file as the writer last left it: only the writer's jobs touch it once
// it is read.
player::settings::File g_file;

void Save() {
    if (!g_remembered.loaded) return;
    WriteAside([settings = g_remembered.saved] { player::settings::Save(settings, &g_file); });
}

}  // namespace

const player::settings::Settings& LoadSettings(const std::string& path, const player::options::Options& chosen) {
    FinishWriting();  // g_file is the writer's while it has work
    const Driver& driver = TheDriver();
    g_remembered = Remembered{};
    g_remembered.chosen = chosen;
    g_remembered.saved = player::settings::Load(path, driver.keyKnown ? driver.keyKnown : NoKeys, &g_file);
    g_remembered.loaded = !path.empty();
    winapi::texts::UseLanguage(chosen.lang.value_or(g_remembered.saved.lang));
    winapi::UseTextOutline(chosen.outline || g_remembered.saved.outline);
    BindKeys(g_remembered.saved);
    return g_remembered.saved;
}

const player::settings::Settings& SavedSettings() { return g_remembered.saved; }

WindowWish WindowWanted() {
    const player::settings::Settings& saved = g_remembered.saved;
    return WindowWish{g_remembered.chosen.fullscreen.value_or(saved.fullscreen), saved.windowWidth, saved.windowHeight,
                      g_remembered.chosen.scale.value_or(saved.scale)};
}

bool PausesUnfocused() { return g_remembered.chosen.pauseUnfocused; }

void RememberFullscreen(bool fullscreen) {
    g_remembered.saved.fullscreen = fullscreen;
    Save();
}

void RememberWindowSize(int width, int height, uint32_t nowMs) {
    g_remembered.saved.windowWidth = width;
    g_remembered.saved.windowHeight = height;
    g_remembered.sizeWaiting = true;
    g_remembered.sizeChangedAt = nowMs;
}

void SaveResting(uint32_t nowMs, bool closing) {
    if (!g_remembered.sizeWaiting) return;
    if (!closing && nowMs - g_remembered.sizeChangedAt < kResizeQuietMs) return;
    g_remembered.sizeWaiting = false;
    Save();
}

bool ChooseSetting(const std::string& name, const std::string& value) {
    if (!g_remembered.loaded) return false;
    player::settings::Settings next = g_remembered.saved;
    if (!player::settings::Parse(name + " = " + value, g_file.known, &next, nullptr)) return false;
    if (name == "outline") winapi::UseTextOutline(next.outline);
    g_remembered.saved = next;
    if (TheDriver().threads) {
        Save();
        return true;
    }
    return player::settings::Save(next, &g_file);
}

}  // namespace core
