// The settings file's text: each setting a row of one table, which the
// reader and the writer both use, so a new setting is one new row.
#include "hosts/shared/settings.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <optional>
#include <sstream>
#include <string_view>

namespace settings {
namespace {

// Takes a value into the settings: empty when it is right, else what is wrong.
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

const char kHeader[] =
    "# kawauo's settings. The game writes this file when you change something\n"
    "# while playing (Alt+Enter, the window's size), keeping your comments; the\n"
    "# command line wins over it for one run. If a line cannot be read, the game\n"
    "# says which on standard error, uses its defaults and leaves this file as it\n"
    "# is until it is put right.\n";

std::string_view Trim(std::string_view s) {
    size_t begin = s.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t\r") - begin + 1);
}

std::string ReadYesNo(std::string_view value, bool* into) {
    if (value != "yes" && value != "no") return "'" + std::string(value) + "' is not yes or no";
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
    if (height == 0)
        return "'" + std::string(value) + "' is not default or a size from 320x240 to 16384x16384 (as 1280x960)";
    into->windowWidth = width;
    into->windowHeight = height;
    return {};
}

std::string WriteWindow(const Settings& s) {
    if (s.windowWidth == 0) return "default";
    return std::to_string(s.windowWidth) + "x" + std::to_string(s.windowHeight);
}

std::string ReadKeys(const std::string& name, std::string_view value, KeyKnown known, std::vector<std::string>* into) {
    into->clear();
    if (value.empty()) return name + " names no key";
    for (size_t begin = 0; begin <= value.size();) {
        size_t comma = std::min(value.find(',', begin), value.size());
        std::string key(Trim(value.substr(begin, comma - begin)));
        if (key.empty()) return name + " has an empty key name (names are separated by commas)";
        if (!known(key)) return "unknown key '" + key + "'";
        into->push_back(key);
        begin = comma + 1;
    }
    return {};
}

std::string WriteKeys(const std::vector<std::string>& keys) {
    std::string out;
    for (const std::string& key : keys) out += (out.empty() ? "" : ", ") + key;
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
             if (!mode) return "'" + std::string(v) + "' is not fit or integer";
             s->scale = *mode;
             return std::string();
         },
         [](const Settings& s) { return std::string(options::NameOf(s.scale)); }},
        {"lang", "# The game's texts: ja (Japanese) or en (English).",
         [](std::string_view v, KeyKnown, Settings* s) {
             std::optional<texts::Language> lang = options::LanguageNamed(std::string(v));
             if (!lang) return "'" + std::string(v) + "' is not ja or en";
             s->lang = *lang;
             return std::string();
         },
         [](const Settings& s) { return std::string(options::NameOf(s.lang)); }},
        {"outline", "# Texts drawn with a dark edge, to read them over pale water (yes or no).",
         [](std::string_view v, KeyKnown, Settings* s) { return ReadYesNo(v, &s->outline); },
         [](const Settings& s) { return std::string(s.outline ? "yes" : "no"); }},
    };
    for (size_t i = 0; i < platform::kKeyNames.size(); ++i) {
        std::string name = "key." + LowerCase(platform::kKeyNames[i].name);
        rows.push_back({name,
                        i == 0 ? "# The keys standing for each of the game's keys, separated by commas: letters\n"
                                 "# and digits as they are, the others by name (Space, Tab, Escape, Left, Up,\n"
                                 "# F1, Keypad 8, Left Shift, Return, ...)."
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

// The row a "name = value" line sets, or nullptr for a blank line, a comment
// or an unknown name (told apart by *isSetting).
const Row* RowOf(std::string_view line, std::string_view* value, bool* isSetting) {
    std::string_view trimmed = Trim(line);
    *isSetting = !trimmed.empty() && trimmed[0] != '#';
    if (!*isSetting) return nullptr;
    size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return nullptr;
    std::string_view name = Trim(trimmed.substr(0, equals));
    *value = Trim(trimmed.substr(equals + 1));
    for (const Row& row : Rows())
        if (name == row.name) return &row;
    return nullptr;
}

std::string Line(const Row& row, const Settings& s) { return row.name + " = " + row.write(s) + "\n"; }

std::string ProblemOf(std::string_view line, KeyKnown known, Settings* into) {
    std::string_view value;
    bool isSetting = false;
    const Row* row = RowOf(line, &value, &isSetting);
    if (row != nullptr) return row->read(value, known, into);
    if (!isSetting) return {};
    if (line.find('\0') != std::string_view::npos) return "not text";
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return "not a \"name = value\" line";
    return "unknown setting '" + std::string(Trim(line.substr(0, equals))) + "'";
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

bool Parse(const std::string& text, KeyKnown known, Settings* into, Problem* problem) {
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string what = ProblemOf(line, known, into);
        if (what.empty()) continue;
        *problem = Problem{number, what};
        return false;
    }
    return true;
}

std::string Format(const Settings& settings, const std::string& previous) {
    const std::vector<Row>& rows = Rows();
    std::string out;
    std::vector<bool> written(rows.size());
    if (previous.empty()) {
        out = kHeader;
    } else {
        std::istringstream in(previous);
        std::string line;
        while (std::getline(in, line)) {
            std::string_view value;
            bool isSetting = false;
            const Row* row = RowOf(line, &value, &isSetting);
            if (row == nullptr) {
                out += line + "\n";
                continue;
            }
            out += Line(*row, settings);
            written[row - rows.data()] = true;
        }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (written[i]) continue;
        if (previous.empty() && rows[i].comment != nullptr) out += std::string("\n") + rows[i].comment + "\n";
        out += Line(rows[i], settings);
    }
    return out;
}

}  // namespace settings
