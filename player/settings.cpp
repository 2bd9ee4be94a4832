// The settings file's text: each setting a row of one table, which the
// reader and the writer both use, so a new setting is one new row.
#include "player/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <functional>
#include <optional>
#include <string_view>

#include "player/display_language.h"
#include "winapi/told.h"

namespace player::settings {
namespace {

// Takes a value into the settings: empty when it is right, else what is
// wrong (and then nothing is set).
using Reader = std::function<std::string(std::string_view value, KeyKnown known, Settings* into)>;
using Writer = std::function<std::string(const Settings& from)>;

struct Row {
    std::string name;
    const char* comment;  // the lines above it in a new file, or nullptr
    Reader read;
    Writer write;
};

constexpr int kMinWidth = 320;  // the smallest window the host allows
constexpr int kMinHeight = 240;
constexpr int kMaxSide = 16384;
// Far beyond any line a player writes, they keep a hostile file's cost near
// its size (a line naming one key millions of times would cost gigabytes).
constexpr size_t kLongestLine = 1024;
constexpr size_t kMostKeys = 8;
constexpr size_t kMostTold = 20;  // refused lines told one by one
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The key every host keeps for itself: F12 saves a screenshot before any
// binding sees it. (Alt+Enter takes Return only while Alt is held: Return
// can be bound.)
constexpr std::string_view kScreenshotKey = "F12";

const char kHeader[] =
    "# kawauo's settings. A setting shown commented out is at its default: take\n"
    "# away its \"# \" to change it. The game changes only the lines of what you\n"
    "# change while playing (Alt+Enter, the window's size) and keeps the rest as\n"
    "# you wrote it; the command line wins over this file for one run. A line\n"
    "# the game cannot read is told when the game starts, ignored and left as it is.\n";

std::string_view Trim(std::string_view s) {
    size_t begin = s.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t\r") - begin + 1);
}

bool SameLetters(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// A value in quotes for a message: a NUL or a control byte would cut the
// message or work on the terminal, so they are shown escaped.
std::string Quoted(std::string_view s) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "'";
    for (char c : s) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\\') out += "\\\\";
        else if (c == '\0') out += "\\0";
        else if (byte < 0x20 || byte == 0x7f) out += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
        else out += c;
    }
    return out + "'";
}

std::string ReadYesNo(std::string_view value, bool* into) {
    if (value != "yes" && value != "no") return Quoted(value) + " is not yes or no";
    *into = value == "yes";
    return {};
}

int ReadSide(std::string_view digits, int least) {
    int n = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    bool whole = error == std::errc() && end == digits.data() + digits.size();
    return whole && n >= least && n <= kMaxSide ? n : 0;
}

std::string ReadWindow(std::string_view value, Settings* into) {
    if (value == "default") {
        into->windowWidth = into->windowHeight = 0;
        return {};
    }
    size_t x = value.find('x');
    int width = x == std::string_view::npos ? 0 : ReadSide(value.substr(0, x), kMinWidth);
    int height = width == 0 ? 0 : ReadSide(value.substr(x + 1), kMinHeight);
    if (height == 0) return Quoted(value) + " is not default or a size from 320x240 to 16384x16384 (as 1280x960)";
    into->windowWidth = width;
    into->windowHeight = height;
    return {};
}

// A window the system made smaller or larger than the reader takes is
// written at the nearest size it takes.
std::string WriteWindow(const Settings& s) {
    if (s.windowWidth <= 0 || s.windowHeight <= 0) return "default";
    return std::to_string(std::clamp(s.windowWidth, kMinWidth, kMaxSide)) + "x" +
           std::to_string(std::clamp(s.windowHeight, kMinHeight, kMaxSide));
}

// A key name with each word `from` (in any case) made `to`: commas separate
// the names, so the file calls the host's "," Comma (and "Keypad ,"
// Keypad Comma).
std::string SwapWord(std::string_view name, std::string_view from, std::string_view to) {
    std::string out;
    for (size_t begin = 0; begin <= name.size();) {
        size_t space = std::min(name.find(' ', begin), name.size());
        std::string_view word = name.substr(begin, space - begin);
        out += SameLetters(word, from) ? to : word;
        if (space < name.size()) out += ' ';
        begin = space + 1;
    }
    return out;
}

std::string ReadKeys(const std::string& name, std::string_view value, KeyKnown known, std::vector<std::string>* into) {
    if (value.empty()) return name + " names no key";
    std::vector<std::string> keys;
    for (size_t begin = 0; begin <= value.size();) {
        size_t comma = std::min(value.find(',', begin), value.size());
        std::string_view written = Trim(value.substr(begin, comma - begin));
        if (written.empty()) return name + " has an empty key name (names are separated by commas)";
        if (keys.size() == kMostKeys) return name + " names more than " + std::to_string(kMostKeys) + " keys";
        std::string key = SwapWord(written, "Comma", ",");
        if (SameLetters(key, kScreenshotKey)) return "F12 saves a screenshot and cannot be bound";
        if (!known(key)) return "unknown key " + Quoted(written);
        keys.push_back(std::move(key));
        begin = comma + 1;
    }
    *into = std::move(keys);
    return {};
}

std::string WriteKeys(const std::vector<std::string>& keys) {
    std::string out;
    for (const std::string& key : keys) out += (out.empty() ? "" : ", ") + SwapWord(key, ",", "Comma");
    return out;
}

std::string LowerCase(const char* s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

std::vector<Row> MakeRows() {
    std::vector<Row> rows = {
        {"fullscreen", "# Full screen (yes) or a window (no). Alt+Enter switches.",
         [](std::string_view v, KeyKnown, Settings* s) { return ReadYesNo(v, &s->fullscreen); },
         [](const Settings& s) { return std::string(s.fullscreen ? "yes" : "no"); }},
        {"window",
         "# The window's size in pixels (as 1280x960), or default: the largest whole\n"
         "# multiple of 640x480 that fits the screen. Resizing the window sets it.",
         [](std::string_view v, KeyKnown, Settings* s) { return ReadWindow(v, s); }, WriteWindow},
        {"scale",
         "# fit: the picture fills the screen's height (whole multiples pixel for\n"
         "# pixel, then a smooth step); integer: whole multiples only.",
         [](std::string_view v, KeyKnown, Settings* s) {
             std::optional<options::ScaleMode> mode = options::ScaleModeNamed(std::string(v));
             if (!mode) return Quoted(v) + " is not fit or integer";
             s->scale = *mode;
             return std::string();
         },
         [](const Settings& s) { return std::string(options::NameOf(s.scale)); }},
        {"lang",
         "# The game's texts: ja (Japanese) or en (English). Without this line, the\n"
         "# language of the system's display: Japanese for Japanese, else English.",
         [](std::string_view v, KeyKnown, Settings* s) {
             std::optional<winapi::texts::Language> lang = options::LanguageNamed(std::string(v));
             if (!lang) return Quoted(v) + " is not ja or en";
             s->lang = *lang;
             return std::string();
         },
         [](const Settings& s) { return std::string(options::NameOf(s.lang)); }},
        {"outline", "# Texts drawn with a dark edge, to read them over pale water (yes or no).",
         [](std::string_view v, KeyKnown, Settings* s) { return ReadYesNo(v, &s->outline); },
         [](const Settings& s) { return std::string(s.outline ? "yes" : "no"); }},
    };
    for (size_t i = 0; i < kKeyNames.size(); ++i) {
        std::string name = "key." + LowerCase(kKeyNames[i].name);
        rows.push_back({name,
                        i == 0 ? "# The keys standing for each of the game's keys, up to 8 separated by commas:\n"
                                 "# letters and digits as they are, the others by name (Space, Tab, Escape,\n"
                                 "# Left, Up, F1, Keypad 8, Left Shift, Return, Comma, ...; the read-me or\n"
                                 "# the manual page names them all). F12 takes screenshots and cannot be bound."
                               : nullptr,
                        [name, i](std::string_view v, KeyKnown known, Settings* s) {
                            return ReadKeys(name, v, known, &s->keys[i]);
                        },
                        [i](const Settings& s) { return WriteKeys(s.keys[i]); }});
    }
    return rows;
}

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = MakeRows();
    return rows;
}

bool IsComment(std::string_view line) {
    std::string_view trimmed = Trim(line);
    return trimmed.empty() || trimmed[0] == '#';
}

// The row a "name = value" line sets, with its value; nullptr for a line of
// any other kind.
const Row* RowOf(std::string_view line, std::string_view* value) {
    std::string_view trimmed = Trim(line);
    size_t equals = trimmed.find('=');
    if (IsComment(line) || equals == std::string_view::npos) return nullptr;
    std::string_view name = Trim(trimmed.substr(0, equals));
    *value = Trim(trimmed.substr(equals + 1));
    for (const Row& row : Rows())
        if (name == row.name) return &row;
    return nullptr;
}

// What is wrong with a line, which then sets nothing; empty when it is read
// (into *into) or a comment.
std::string ProblemOf(std::string_view line, KeyKnown known, Settings* into) {
    if (IsComment(line)) return {};
    if (line.size() > kLongestLine) return "longer than " + std::to_string(kLongestLine) + " bytes";
    std::string_view value;
    if (const Row* row = RowOf(line, &value)) return row->read(value, known, into);
    if (line.find('\0') != std::string_view::npos) return "not text";
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return "not a \"name = value\" line";
    return "unknown setting " + Quoted(Trim(line.substr(0, equals)));
}

size_t MarkLength(std::string_view text) {
    return text.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
}

// Calls each(line, number, ended) for every line of `text` after its byte
// order mark: the line without its "\n", numbered from 1, and whether a
// "\n" ended it.
template <typename Each>
void EachLine(std::string_view text, Each each) {
    text.remove_prefix(MarkLength(text));
    int number = 1;
    for (size_t begin = 0; begin < text.size(); ++number) {
        size_t end = std::min(text.find('\n', begin), text.size());
        each(text.substr(begin, end - begin), number, end < text.size());
        begin = end + 1;
    }
}

std::string Line(const Row& row, const Settings& s, std::string_view end = "\n") {
    return row.name + " = " + row.write(s) + std::string(end);
}

// A new file: the header, then each setting under its comment, written if it
// was changed, else shown commented out.
std::string NewText(const Settings& now, const std::vector<bool>& changed) {
    const std::vector<Row>& rows = Rows();
    std::string out = kHeader;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].comment != nullptr) out += std::string("\n") + rows[i].comment + "\n";
        out += (changed[i] ? "" : "# ") + Line(rows[i], now);
    }
    return out;
}

// Where a changed setting goes in an existing file: over its lines that read,
// else after its last refused line, else over the first line showing it
// commented out as a new file does ("# name = value"), else at the end.
struct Place {
    bool read = false;
    int lastRefused = 0;
    int shown = 0;
};

// A line "# name = value" as a new file shows a setting: the line without its "# ".
std::string_view Uncommented(std::string_view line) {
    return line.substr(0, 2) == "# " ? line.substr(2) : std::string_view();
}

std::string Rewritten(std::string_view text, const Settings& now, const std::vector<bool>& changed, KeyKnown known) {
    const std::vector<Row>& rows = Rows();
    std::vector<Place> places(rows.size());
    Settings scratch = now;
    // The changed setting a line sets (or nullptr), and whether the line reads.
    auto changedRow = [&](std::string_view line, bool* reads) -> const Row* {
        std::string_view value;
        const Row* row = RowOf(line, &value);
        if (row == nullptr || !changed[row - rows.data()]) return nullptr;
        *reads = ProblemOf(line, known, &scratch).empty();
        return row;
    };
    // The changed setting a line shows commented out, where it has no other place.
    auto shownRow = [&](std::string_view line) -> const Row* {
        bool reads = false;
        const Row* row = changedRow(Uncommented(line), &reads);
        const Place* place = row != nullptr ? &places[row - rows.data()] : nullptr;
        return reads && !place->read && place->lastRefused == 0 ? row : nullptr;
    };
    EachLine(text, [&](std::string_view line, int number, bool) {
        bool reads = false;
        if (const Row* row = changedRow(line, &reads)) {
            Place& place = places[row - rows.data()];
            if (reads) place.read = true;
            else place.lastRefused = number;
        }
    });
    EachLine(text, [&](std::string_view line, int number, bool) {
        const Row* row = shownRow(line);
        if (row != nullptr && places[row - rows.data()].shown == 0) places[row - rows.data()].shown = number;
    });
    std::string out(text.substr(0, MarkLength(text)));
    EachLine(text, [&](std::string_view line, int number, bool ended) {
        bool reads = false;
        const Row* row = changedRow(line, &reads);
        const Row* shown = shownRow(line);
        if ((row != nullptr && reads) || (shown != nullptr && places[shown - rows.data()].shown == number)) {
            out += Line(row != nullptr ? *row : *shown, now, line.back() == '\r' ? "\r\n" : "\n");
            return;
        }
        out += line;
        if (ended) out += '\n';
        if (row == nullptr || places[row - rows.data()].read || places[row - rows.data()].lastRefused != number) return;
        if (!ended) out += '\n';
        out += Line(*row, now);
    });
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!changed[i] || places[i].read || places[i].lastRefused != 0 || places[i].shown != 0) continue;
        if (!out.empty() && out.back() != '\n') out += '\n';
        out += Line(rows[i], now);
    }
    return out;
}

}  // namespace

Settings Defaults() {
    Settings s;
    s.keys = {{
        {"Space"},
        {"Tab"},
        {"Escape"},
        {"Left", "A", "Keypad 4"},
        {"Up", "W", "Keypad 8"},
        {"Right", "D", "Keypad 6"},
        {"Down", "S", "Keypad 2"},
        {"F1", "1"},
        {"F2", "2"},
        {"F3", "3"},
    }};
    return s;
}

Settings SystemDefaults() {
    Settings s = Defaults();
    s.lang = DisplayLanguage();
    return s;
}

void Apply(const std::string& text, File* file) {
    std::vector<Problem> problems;
    Parse(text, file->known, &file->settings, &problems);
    for (const Problem& problem : problems)
        winapi::Tell(options::ShownPath(file->path) + ":" + std::to_string(problem.line) + ": " + problem.what);
}

bool Parse(const std::string& text, KeyKnown known, Settings* into, std::vector<Problem>* problems) {
    size_t refused = 0;
    EachLine(text, [&](std::string_view line, int number, bool) {
        std::string what = ProblemOf(line, known, into);
        if (what.empty()) return;
        ++refused;
        if (problems != nullptr && refused <= kMostTold + 1) problems->push_back(Problem{number, what});
    });
    if (problems != nullptr && refused > kMostTold) {
        size_t untold = refused - kMostTold;
        problems->back().what = std::to_string(untold) + (untold == 1 ? " more line" : " more lines") +
                                ", from this one on, cannot be read either";
    }
    return refused == 0;
}

std::string Format(const Settings& now, const Settings& before, const std::string* text, KeyKnown known) {
    const std::vector<Row>& rows = Rows();
    std::vector<bool> changed(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) changed[i] = rows[i].write(now) != rows[i].write(before);
    if (text != nullptr) return Rewritten(*text, now, changed, known);
    return std::find(changed.begin(), changed.end(), true) == changed.end() ? std::string() : NewText(now, changed);
}

std::string NewFileText(const Settings& now) { return NewText(now, std::vector<bool>(Rows().size())); }

}  // namespace player::settings
