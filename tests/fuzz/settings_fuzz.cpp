// Fuzz target: any bytes as the settings file through its reader; what it sets
// must be a setting the game can use (a refused line sets nothing), and the
// file must read back the same once written again.
#include <cstdlib>
#include <set>
#include <string>

#include "player/settings.h"
#include "tests/fuzz/fuzz_entry.h"

namespace {

// The keyboard's key names, fixed here where a host asks its keyboard: the
// defaults' keys and a few more, so that a file may name others.
const std::set<std::string>& KnownNames() {
    static const std::set<std::string> names = [] {
        std::set<std::string> all = {"Return", "Left Shift", "Z", "Keypad 5", "F12"};
        for (const std::vector<std::string>& keys : player::settings::Defaults().keys)
            all.insert(keys.begin(), keys.end());
        return all;
    }();
    return names;
}

bool Known(const std::string& name) { return KnownNames().count(name) != 0; }

bool Usable(const player::settings::Settings& s) {
    const bool defaultWindow = s.windowWidth == 0 && s.windowHeight == 0;
    const bool sizedWindow =
        s.windowWidth >= 320 && s.windowWidth <= 16384 && s.windowHeight >= 240 && s.windowHeight <= 16384;
    if (!defaultWindow && !sizedWindow) return false;
    for (const std::vector<std::string>& keys : s.keys) {
        if (keys.empty()) return false;
        for (const std::string& key : keys)
            if (!Known(key)) return false;
    }
    return true;
}

bool Same(const player::settings::Settings& a, const player::settings::Settings& b) {
    return a.fullscreen == b.fullscreen && a.windowWidth == b.windowWidth && a.windowHeight == b.windowHeight &&
           a.scale == b.scale && a.lang == b.lang && a.outline == b.outline && a.keys == b.keys;
}

// The settings `text` gives over the defaults, its refused lines aside.
player::settings::Settings Read(const std::string& text) {
    player::settings::Settings read = player::settings::Defaults();
    player::settings::Parse(text, Known, &read, nullptr);
    return read;
}

}  // namespace

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const player::settings::Settings read = Read(text);
    if (!Usable(read)) std::abort();
    // Written over the player's text and written from nothing, the settings
    // read back as they were; writing them again with nothing changed leaves
    // the text as it is.
    const player::settings::Settings defaults = player::settings::Defaults();
    const std::string kept = player::settings::Format(read, defaults, &text, Known);
    if (!Same(Read(kept), read)) std::abort();
    if (!Same(Read(player::settings::Format(read, defaults, nullptr, Known)), read)) std::abort();
    if (player::settings::Format(read, read, &kept, Known) != kept) std::abort();
    return 0;
}
