// The player's settings file: what the players' host remembers from one run
// to the next (full screen or a window, the window's size, the scale mode,
// the language, the text outline, the keys). The game never sees it.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "hosts/shared/key_names.h"
#include "hosts/shared/options.h"

namespace settings {

struct Settings {
    bool fullscreen = true;
    int windowWidth = 0;  // 0 by 0: the largest whole scale that fits the desktop
    int windowHeight = 0;
    // Fit: a laptop's 1366x768 or 1920x1080 screen shows the picture across
    // its whole height, not at 1x or 2x in a black frame.
    options::ScaleMode scale = options::ScaleMode::kFit;
    texts::Language lang = texts::Language::kJapanese;
    bool outline = false;  // texts drawn with a dark edge
    // The keyboard's keys standing for each game key, by the host's key
    // names ("W", "Keypad 8"), in the order of platform::kKeyNames.
    std::array<std::vector<std::string>, platform::kKeyNames.size()> keys;
};

// The settings of a player who has changed nothing: the keys as the README
// lists them.
Settings Defaults();

// Whether the host knows a keyboard key by this name.
using KeyKnown = bool (*)(const std::string& name);

// Where Parse stopped: the line (from 1) and what is wrong with it.
struct Problem {
    int line = 0;
    std::string what;
};

// Reads the file's text over *into (which holds the defaults): "name = value"
// lines, blank lines and "#" comments. False at the first line that cannot
// be read, with *into then only partly set.
bool Parse(const std::string& text, KeyKnown known, Settings* into, Problem* problem);

// The file's text for `settings`, made from `previous` (the text last read
// or written, empty for none): its comments, order and unknown lines kept,
// each value set anew, the settings it lacks added at the end. From nothing,
// a file with a comment on each setting.
std::string Format(const Settings& settings, const std::string& previous);

// The settings file as read at start.
struct File {
    std::string path;      // empty where no home folder is known
    std::string text;      // as read (or last written)
    bool writable = true;  // false once it could not be read or understood
};

// $XDG_CONFIG_HOME/kawauo/settings, else ~/.config/kawauo/settings; empty
// when neither is known.
std::string DefaultPath();

// Reads the file at `path`: missing, the defaults. Unreadable or malformed:
// said on standard error (path:line: what), the defaults, and the file is
// never written over, so that nothing in it is lost.
Settings Load(const std::string& path, KeyKnown known, File* file);

// Writes `settings` to the file through a temporary file in its folder,
// synced and renamed over it, so that a crash leaves the old file or the
// new, never half of one. False, said on standard error, when it cannot be
// (or may not be) written.
bool Save(const Settings& settings, File* file);

}  // namespace settings
