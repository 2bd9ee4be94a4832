// The players' command line: each option is a row of one table, which both
// the parser and the usage text read, so a new option is one new row.
#include "platform/options.h"

#include <cstring>

#include "platform/version.h"

namespace options {
namespace {

struct Row {
    const char* name;      // "--window"
    const char* argument;  // its value's name in the usage, or nullptr for none
    const char* help;
    // Takes the value (nullptr for an option without one); false when it is wrong.
    bool (*apply)(Options* options, const char* value);
};

bool StorePath(const char* value, std::string* into) {
    *into = value;
    return !into->empty();
}

template <typename T>
bool Store(std::optional<T> found, std::optional<T>* into) {
    if (!found) return false;
    *into = found;
    return true;
}

const Row kRows[] = {
    {"--help", nullptr, "show this help and exit", [](Options* o, const char*) { return o->help = true; }},
    {"--version", nullptr, "show the version and exit", [](Options* o, const char*) { return o->version = true; }},
    {"--fullscreen", nullptr, "start full screen",
     [](Options* o, const char*) {
         o->fullscreen = true;
         return true;
     }},
    {"--window", nullptr, "start in a window",
     [](Options* o, const char*) {
         o->fullscreen = false;
         return true;
     }},
    {"--scale", "MODE", "fit (fill the screen's height, smoothly) or integer (whole factors only)",
     [](Options* o, const char* v) { return Store(ScaleModeNamed(v), &o->scale); }},
    {"--lang", "LANG", "ja (Japanese, the default) or en (English) for the game's texts and titles",
     [](Options* o, const char* v) { return Store(LanguageNamed(v), &o->lang); }},
    {"--outline", nullptr, "draw the texts with a dark edge, to read them over pale water",
     [](Options* o, const char*) { return o->outline = true; }},
    {"--pause-unfocused", nullptr, "stop the game while its window is not in front",
     [](Options* o, const char*) { return o->pauseUnfocused = true; }},
    {"--record", "FILE", "write this run to FILE as a recording kawauo-sim can replay",
     [](Options* o, const char* v) { return StorePath(v, &o->recordPath); }},
    {"--play", "FILE", "show the recording FILE instead of taking the keys",
     [](Options* o, const char* v) { return StorePath(v, &o->playPath); }},
    {"--trace", "FILE", "write the trace of every frame to FILE",
     [](Options* o, const char* v) { return StorePath(v, &o->tracePath); }},
};

const Row* Find(const std::string& name) {
    for (const Row& row : kRows)
        if (name == row.name) return &row;
    return name == "-h" ? &kRows[0] : nullptr;
}

}  // namespace

Outcome Parse(int argc, const char* const* argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string name = arg.substr(0, arg.find('='));
        const Row* row = Find(name);
        if (row == nullptr) {
            std::fprintf(stderr, "kawauo: unknown option '%s'\n", arg.c_str());
            return Outcome::kBad;
        }
        std::string value;
        bool joined = name.size() < arg.size();
        if (joined) value = arg.substr(name.size() + 1);
        if (row->argument == nullptr && joined) {
            std::fprintf(stderr, "kawauo: %s takes no value\n", name.c_str());
            return Outcome::kBad;
        }
        if (row->argument != nullptr && !joined) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kawauo: %s needs a %s\n", name.c_str(), row->argument);
                return Outcome::kBad;
            }
            value = argv[++i];
        }
        if (!row->apply(options, row->argument != nullptr ? value.c_str() : nullptr)) {
            std::fprintf(stderr, "kawauo: %s: '%s' is not a %s\n", name.c_str(), value.c_str(), row->argument);
            return Outcome::kBad;
        }
    }
    if (!options->recordPath.empty() && !options->playPath.empty()) {
        std::fprintf(stderr, "kawauo: --record and --play cannot go together\n");
        return Outcome::kBad;
    }
    if (options->help) return Outcome::kHelp;
    if (options->version) return Outcome::kVersion;
    return Outcome::kRun;
}

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: kawauo [OPTION]...\nThe fish swims up the river. Options:\n");
    for (const Row& row : kRows) {
        std::string left = row.name;
        if (row.argument != nullptr) left = left + " " + row.argument;
        std::fprintf(out, "  %-22s %s\n", left.c_str(), row.help);
    }
    std::fprintf(out, "See kawauo(6) for the keys.\n");
}

void PrintVersion(std::FILE* out) { std::fprintf(out, "kawauo " KAWAUO_VERSION "\n"); }

std::optional<ScaleMode> ScaleModeNamed(const std::string& name) {
    if (name == "fit") return ScaleMode::kFit;
    if (name == "integer") return ScaleMode::kInteger;
    return std::nullopt;
}

const char* NameOf(ScaleMode mode) { return mode == ScaleMode::kFit ? "fit" : "integer"; }

std::optional<texts::Language> LanguageNamed(const std::string& name) {
    if (name == "ja") return texts::Language::kJapanese;
    if (name == "en") return texts::Language::kEnglish;
    return std::nullopt;
}

const char* NameOf(texts::Language language) { return language == texts::Language::kEnglish ? "en" : "ja"; }

}  // namespace options
