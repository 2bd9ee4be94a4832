// The player's settings file: what the players' host remembers from one run
// to the next (full screen or a window, the window's size, the scale mode,
// the language, the text outline, the keys). The game never sees it.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "player/key_names.h"
#include "player/options.h"
#include "player/settings_file.h"

namespace player::settings {

struct Settings {
    bool fullscreen = true;
    int windowWidth = 0;  // 0 by 0: the largest whole scale that fits the desktop
    int windowHeight = 0;
    // Fit: a laptop's 1366x768 or 1920x1080 screen shows the picture across
    // its whole height, not at 1x or 2x in a black frame.
    options::ScaleMode scale = options::ScaleMode::kFit;
    winapi::texts::Language lang = winapi::texts::Language::kJapanese;
    bool outline = false;  // texts drawn with a dark edge
    // The keyboard's keys standing for each game key, by the host's key
    // names ("W", "Keypad 8", "," where the file says Comma), in the order
    // of kKeyNames.
    std::array<std::vector<std::string>, kKeyNames.size()> keys;
};

// The settings of a player who has changed nothing: the keys as the README
// lists them.
Settings Defaults();

// The defaults a player's file is read over: Defaults() in the language of
// the system's display (player/display_language.h).
Settings SystemDefaults();

// Whether the host knows a keyboard key by this name (the file's Comma is
// asked for as ",", Keypad Comma as "Keypad ,"; F12 is refused before).
using KeyKnown = bool (*)(const std::string& name);

// A line the reader refused: its number (from 1) and what is wrong with it,
// any byte that is not printable shown escaped (\0, \x1b, \\).
struct Problem {
    int line = 0;
    std::string what;
};

// Reads the file's text over *into (which holds the defaults): "name = value"
// lines, blank lines and "#" comments, after a UTF-8 byte order mark if there
// is one; of two lines for one setting the later wins. A line that cannot be
// read sets nothing and is added to *problems (may be null): the first 20 one
// by one, then one more that counts the rest. Every other line applies. True
// when no line was refused. Its memory is bounded by the text's size: a
// setting's line is refused past 1024 bytes, a key's past 8 keys.
bool Parse(const std::string& text, KeyKnown known, Settings* into, std::vector<Problem>* problems);

// The text to write when the game has changed the settings from `before` to
// `now`: only the settings whose values differ are written. Over a file's
// `text`, each line of such a setting that reads is given the new value in
// its place, and a setting with no such line gets one after its last refused
// line, else at the end; every other line (comments, the player's other
// settings, refused lines, unknown names) stays byte for byte. With no file
// yet (`text` null), a new one with a comment on each setting, those that
// were not changed shown commented out at their values. Nothing changed:
// `text` as it is, or nothing where there is no file.
std::string Format(const Settings& now, const Settings& before, const std::string* text, KeyKnown known);

// The text of a new file holding `now`: each setting under its comment,
// shown commented out at its value.
std::string NewFileText(const Settings& now);

// The settings file as read at start, then as last saved.
struct File {
    std::string path;                // empty where no home folder is known
    KeyKnown known = nullptr;        // the host's key names, as given to Load
    Settings settings = Defaults();  // the file's settings as the game last read or wrote them
};

// Applies the file's `text` over file->settings, each line that cannot be
// read said on standard error as PATH:LINE: what.
void Apply(const std::string& text, File* file);

// Reads the file at `path` (UTF-8, or UTF-16 with its byte order mark) over
// SystemDefaults(): missing or unreadable, the defaults (unreadable said on
// standard error; missing, written where the system's players look for it:
// WrittenAtFirstStart); the temporary files of saves that were killed are
// removed; each line that cannot be read said on standard error as
// PATH:LINE: what, and the rest of the file applied.
Settings Load(const std::string& path, KeyKnown known, File* file);

// Where Load finds the settings: `path`, after the file an earlier version
// kept at `former` is moved there when `path` is missing (never over another
// file; said on standard error), or `former` when it cannot be moved (said
// too). `path` when `former` is empty or holds nothing.
std::string MoveFormerFile(const std::string& path, const std::string& former);

// Where Load found no file: a new one with NewFileText's text, so that a
// player who looks for the file finds every setting explained. True when a
// file is there afterwards; false, said on standard error, when it cannot be
// written (as for Save).
bool WriteIfMissing(File* file);

// Writes what changed between the file's settings (as Load or the last Save
// left them) and `settings`: the file is read again first, so that what the
// player changed in it meanwhile stays, and Format's text written through a
// temporary file in its folder, synced and renamed over it, so that a crash
// leaves the old file or the new, never half of one; the file is replaced
// only while it is still the one read, else read again (ReplaceIfUnchanged).
// It keeps its encoding; a file of more than one name is written where it
// stands, so that it keeps them all. A symbolic link is
// written through, to its target (made if missing); an existing file keeps
// its mode, a new one is made as the umask says. Nothing changed: nothing
// written. False, said on standard error, when it cannot be (or may not be)
// written: no home folder, a file that cannot be read again, a read-only
// file, a folder that cannot be written.
bool Save(const Settings& settings, File* file);

}  // namespace player::settings
