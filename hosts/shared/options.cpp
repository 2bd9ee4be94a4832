// The command lines: each option is a row of one table, which the parser and
// the usage text of every program read, so a new option is one new row.
#include "hosts/shared/options.h"

#include "hosts/shared/version.h"

namespace options {
namespace {

// Which programs take a row.
constexpr unsigned kGame = 1u << static_cast<int>(Program::kGame);
constexpr unsigned kSim = 1u << static_cast<int>(Program::kSim);
constexpr unsigned kWeb = 1u << static_cast<int>(Program::kWeb);

struct Row {
    unsigned programs;
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
    {kGame | kSim, "--help", nullptr, "show this help and exit",
     [](Options* o, const char*) { return o->help = true; }},
    {kGame, "--version", nullptr, "show the version and exit",
     [](Options* o, const char*) { return o->version = true; }},
    {kGame, "--fullscreen", nullptr, "start full screen",
     [](Options* o, const char*) {
         o->fullscreen = true;
         return true;
     }},
    {kGame, "--window", nullptr, "start in a window",
     [](Options* o, const char*) {
         o->fullscreen = false;
         return true;
     }},
    {kGame, "--scale", "MODE", "fit (fill the screen's height, smoothly) or integer (whole factors only)",
     [](Options* o, const char* v) { return Store(ScaleModeNamed(v), &o->scale); }},
    {kGame | kSim, "--lang", "LANG", "ja (Japanese, the default) or en (English) for the game's texts and titles",
     [](Options* o, const char* v) { return Store(LanguageNamed(v), &o->lang); }},
    {kGame | kSim, "--outline", nullptr, "draw the texts with a dark edge, to read them over pale water",
     [](Options* o, const char*) { return o->outline = true; }},
    {kGame, "--pause-unfocused", nullptr, "stop the game while its window is not in front",
     [](Options* o, const char*) { return o->pauseUnfocused = true; }},
    {kGame, "--record", "FILE", "write this run to FILE as a recording kawauo-sim can replay",
     [](Options* o, const char* v) { return StorePath(v, &o->recordPath); }},
    {kGame, "--play", "FILE", "show the recording FILE instead of taking the keys",
     [](Options* o, const char* v) { return StorePath(v, &o->playPath); }},
    {kGame | kSim | kWeb, "--trace", "FILE", "write the trace of every frame to FILE",
     [](Options* o, const char* v) { return StorePath(v, &o->tracePath); }},
    {kSim, "--draws", nullptr, "put every drawing call of a frame in its trace line",
     [](Options* o, const char*) { return o->draws = true; }},
    {kSim, "--shots", "DIR", "write the pictures of the script's 'shot' lines to DIR as PNG files",
     [](Options* o, const char* v) { return StorePath(v, &o->shotsDir); }},
    {kWeb, "--script", "FILE", "run the sim's script FILE instead of taking the keys",
     [](Options* o, const char* v) { return StorePath(v, &o->scriptPath); }},
};

// What sets each program apart on its usage and its command line.
struct ProgramText {
    const char* name;
    const char* operand;  // its one argument that is no option (the sim's SCRIPT), or nullptr
    const char* about;
    const char* footer;
};

const ProgramText kPrograms[] = {
    {"kawauo", nullptr, "The fish swims up the river. Options:\n", "See kawauo(6) for the keys.\n"},
    {"kawauo-sim", "SCRIPT",
     "Runs the game headless in the current directory (it reads ./bmp), driven by\n"
     "SCRIPT ('-' for standard input), and writes a JSON Lines trace of every\n"
     "frame to the trace file (default: standard output). A recording made by\n"
     "kawauo --record is such a script, and replays the run frame for frame.\n"
     "Options:\n",
     ""},
    {"kawauo", nullptr, "The game in a web page. Options:\n", ""},
};

unsigned Bit(Program program) { return 1u << static_cast<int>(program); }

const Row* Find(Program program, const std::string& name) {
    const std::string full = name == "-h" ? "--help" : name;
    for (const Row& row : kRows)
        if ((row.programs & Bit(program)) && full == row.name) return &row;
    return nullptr;
}

// One argument that is no option: the program's operand, given once.
bool TakeOperand(const ProgramText& text, const std::string& arg, Options* options) {
    if (text.operand == nullptr || arg.empty()) {
        std::fprintf(stderr, "%s: unknown option %s\n", text.name, arg.c_str());
        return false;
    }
    if (!options->scriptPath.empty()) {
        std::fprintf(stderr, "%s: more than one script given\n", text.name);
        return false;
    }
    options->scriptPath = arg;
    return true;
}

}  // namespace

Outcome Parse(Program program, int argc, const char* const* argv, Options* options) {
    const ProgramText& text = kPrograms[static_cast<int>(program)];
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-') {
            if (!TakeOperand(text, arg, options)) return Outcome::kBad;
            continue;
        }
        std::string name = arg.substr(0, arg.find('='));
        const Row* row = Find(program, name);
        if (row == nullptr) {
            std::fprintf(stderr, "%s: unknown option %s\n", text.name, arg.c_str());
            return Outcome::kBad;
        }
        std::string value;
        bool joined = name.size() < arg.size();
        if (joined) value = arg.substr(name.size() + 1);
        if (row->argument == nullptr && joined) {
            std::fprintf(stderr, "%s: %s takes no value\n", text.name, name.c_str());
            return Outcome::kBad;
        }
        if (row->argument != nullptr && !joined) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s: %s needs a value (%s)\n", text.name, name.c_str(), row->argument);
                return Outcome::kBad;
            }
            value = argv[++i];
        }
        if (row->argument != nullptr && value.empty()) {
            std::fprintf(stderr, "%s: %s needs a value (%s)\n", text.name, name.c_str(), row->argument);
            return Outcome::kBad;
        }
        if (!row->apply(options, row->argument != nullptr ? value.c_str() : nullptr)) {
            std::fprintf(stderr, "%s: %s: '%s' is not a %s\n", text.name, name.c_str(), value.c_str(), row->argument);
            return Outcome::kBad;
        }
    }
    if (!options->recordPath.empty() && !options->playPath.empty()) {
        std::fprintf(stderr, "%s: --record and --play cannot go together\n", text.name);
        return Outcome::kBad;
    }
    if (options->help) return Outcome::kHelp;
    if (options->version) return Outcome::kVersion;
    if (text.operand != nullptr && options->scriptPath.empty()) {
        std::fprintf(stderr, "%s: no script given\n", text.name);
        return Outcome::kBad;
    }
    return Outcome::kRun;
}

void PrintUsage(Program program, std::FILE* out) {
    const ProgramText& text = kPrograms[static_cast<int>(program)];
    std::fprintf(out, "usage: %s [OPTION]...%s%s\n%s", text.name, text.operand ? " " : "",
                 text.operand ? text.operand : "", text.about);
    for (const Row& row : kRows) {
        if (!(row.programs & Bit(program))) continue;
        std::string left = row.name;
        if (row.argument != nullptr) left = left + " " + row.argument;
        std::fprintf(out, "  %-22s %s\n", left.c_str(), row.help);
    }
    std::fputs(text.footer, out);
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
