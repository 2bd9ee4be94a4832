// The command lines: each option is a row of one table, which the parser and
// the usage text of every program read, so a new option is one new row.
#include "player/options.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "player/version.h"

namespace player::options {
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
    {kGame | kWeb, "--scale", "MODE", "fit (fill the screen's height, smoothly) or integer (whole factors only)",
     [](Options* o, const char* v) { return Store(ScaleModeNamed(v), &o->scale); }},
    {kGame | kSim | kWeb, "--lang", "LANG", "ja (Japanese) or en (English) for the game's texts and titles",
     [](Options* o, const char* v) { return Store(LanguageNamed(v), &o->lang); }},
    {kGame | kSim | kWeb, "--outline", nullptr, "draw the texts with a dark edge, to read them over pale water",
     [](Options* o, const char*) { return o->outline = true; }},
    {kGame | kWeb, "--pause-unfocused", nullptr, "stop the game while its window is not in front",
     [](Options* o, const char*) { return o->pauseUnfocused = true; }},
    {kGame, "--record", "FILE", "write this run to FILE as a recording (--play FILE shows it)",
     [](Options* o, const char* v) { return StorePath(v, &o->recordPath); }},
    {kGame | kWeb, "--play", "FILE", "show the recording FILE (or a run's link) instead of taking the keys",
     [](Options* o, const char* v) { return StorePath(v, &o->playPath); }},
    {kGame | kSim | kWeb, "--trace", "FILE", "write the trace of every frame to FILE",
     [](Options* o, const char* v) { return StorePath(v, &o->tracePath); }},
    {kSim, "--draws", nullptr, "put every drawing call of a frame in its trace line",
     [](Options* o, const char*) { return o->draws = true; }},
    {kSim, "--shots", "DIR", "write the pictures of the script's 'shot' lines to DIR as PNG files",
     [](Options* o, const char* v) { return StorePath(v, &o->shotsDir); }},
    {kSim, "--link", nullptr, "print the link of the recording SCRIPT instead of running it",
     [](Options* o, const char*) { return o->printLink = true; }},
    {kSim, "--recording", nullptr, "print the recording that SCRIPT (a run's link) holds instead of running it",
     [](Options* o, const char*) { return o->printRecording = true; }},
    {kWeb, "--script", "FILE", "run the sim's script FILE instead of taking the keys",
     [](Options* o, const char* v) { return StorePath(v, &o->scriptPath); }},
};

// What sets each program apart on its usage and its command line.
struct ProgramText {
    const char* name;
    // Its one argument that is no option, or nullptr: the sim's SCRIPT, or
    // the game's recording to play, which may be left out (a file dropped
    // on the program's icon comes so).
    const char* operand;
    const char* about;
    const char* footer;  // nullptr: where the system's copy tells the keys
};

const ProgramText kPrograms[] = {
    {"kawauo", "[FILE.rec]",
     "The fish swims up the river. Given a recording (FILE.rec), shows it as\n--play does. Options:\n", nullptr},
    {"kawauo-sim", "SCRIPT",
     "Runs the game headless in the current directory (it reads ./bmp), driven by\n"
     "SCRIPT ('-' for standard input), and writes a JSON Lines trace of every\n"
     "frame to the trace file (default: standard output). A recording made by\n"
     "kawauo --record is such a script, and replays the run frame for frame;\n"
     "so does a run's link, given as SCRIPT or held in the file SCRIPT.\n"
     "Options:\n",
     ""},
    {"kawauo", nullptr, "The game in a web page. Options:\n", ""},
};

unsigned Bit(Program program) { return 1u << static_cast<int>(program); }

const ProgramText& TextOf(Program program) { return kPrograms[static_cast<int>(program)]; }

// The other names of --help: the short one, and those Windows programs take.
bool AsksForHelp(const std::string& name) { return name == "-h" || name == "-?" || name == "/?"; }

const Row* Find(Program program, const std::string& name) {
    const std::string full = AsksForHelp(name) ? "--help" : name;
    for (const Row& row : kRows)
        if ((row.programs & Bit(program)) && full == row.name) return &row;
    return nullptr;
}

// One line in *said saying what is wrong, never the whole usage, which
// would hide it; false, for the caller to return.
bool Refuse(Program program, const std::string& what, std::string* said) {
    const char* hint = Find(program, "--help") != nullptr ? "; try --help" : "";
    *said += std::string(TextOf(program).name) + ": " + what + hint + "\n";
    return false;
}

bool EndsInRec(const std::string& name) {
    if (name.size() <= 4) return false;
    std::string end = name.substr(name.size() - 4);
    for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return end == ".rec";
}

// The game's one argument that is no option: a recording, played as --play plays it.
bool TakeRecording(const std::string& arg, Options* options, std::string* said) {
    if (!EndsInRec(arg))
        return Refuse(Program::kGame, "unexpected argument '" + Shown(arg) + "' (a recording's name ends in .rec)",
                      said);
    if (!options->playPath.empty()) return Refuse(Program::kGame, "more than one recording to play", said);
    options->playPath = arg;
    return true;
}

// One argument that is no option: the program's operand, given once.
bool TakeOperand(Program program, const std::string& arg, Options* options, std::string* said) {
    if (TextOf(program).operand == nullptr || arg.empty())
        return Refuse(program, "unexpected argument '" + Shown(arg) + "'", said);
    if (program == Program::kGame) return TakeRecording(arg, options, said);
    if (!options->scriptPath.empty()) return Refuse(program, "more than one script given", said);
    options->scriptPath = arg;
    return true;
}

// The option argv[*i], and its value after '=' or as the next argument.
bool TakeOption(Program program, int argc, const char* const* argv, int* i, Options* options, std::string* said) {
    const std::string arg = argv[*i];
    const std::string name = arg.substr(0, arg.find('='));
    const Row* row = Find(program, name);
    if (row == nullptr) return Refuse(program, "unknown option " + Shown(arg), said);
    const bool joined = name.size() < arg.size();
    if (row->argument == nullptr)
        return joined ? Refuse(program, name + " takes no value", said) : row->apply(options, nullptr);
    std::string value;
    if (joined) value = arg.substr(name.size() + 1);
    else if (*i + 1 < argc) value = argv[++*i];
    if (value.empty()) return Refuse(program, name + " needs a value (" + row->argument + ")", said);
    if (!row->apply(options, value.c_str()))
        return Refuse(program, name + ": '" + Shown(value) + "' is not a " + row->argument, said);
    return true;
}

// The usage text of `program`: one line an option, its help in a column
// (kColumns), or under it (kList, for a proportional font).
std::string UsageOf(Program program, Layout layout) {
    const ProgramText& text = TextOf(program);
    std::string usage = std::string("usage: ") + text.name + " [OPTION]..." + (text.operand ? " " : "") +
                        (text.operand ? text.operand : "") + "\n" + text.about;
    for (const Row& row : kRows) {
        if (!(row.programs & Bit(program))) continue;
        std::string left = row.name;
        if (row.argument != nullptr) left = left + " " + row.argument;
        if (layout == Layout::kList) usage += left + "\n      " + row.help + "\n";
        else usage += "  " + left + std::string(left.size() < 22 ? 22 - left.size() : 0, ' ') + " " + row.help + "\n";
    }
    return usage + (text.footer != nullptr ? text.footer : KeysFooter());
}

}  // namespace

Outcome Parse(Program program, int argc, const char* const* argv, Options* options, std::string* said) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool option = (arg.size() >= 2 && arg[0] == '-') || AsksForHelp(arg);
        const bool taken =
            option ? TakeOption(program, argc, argv, &i, options, said) : TakeOperand(program, arg, options, said);
        if (!taken) return Outcome::kBad;
    }
    if (!options->recordPath.empty() && !options->playPath.empty()) {
        Refuse(program, "--record and --play cannot go together", said);
        return Outcome::kBad;
    }
    if ((options->printLink || options->printRecording) &&
        (options->printLink == options->printRecording || !options->tracePath.empty() || !options->shotsDir.empty() ||
         options->draws)) {
        Refuse(program, "--link and --recording print and run nothing: one alone, without a run's options", said);
        return Outcome::kBad;
    }
    if (options->help) return Outcome::kHelp;
    if (options->version) return Outcome::kVersion;
    if (program == Program::kSim && options->scriptPath.empty()) {
        Refuse(program, "no script given", said);
        return Outcome::kBad;
    }
    return Outcome::kRun;
}

Outcome Parse(Program program, int argc, const char* const* argv, Options* options, std::FILE* errors) {
    std::string said;
    const Outcome outcome = Parse(program, argc, argv, options, &said);
    std::fputs(said.c_str(), errors);
    return outcome;
}

std::string AnswerText(Program program, Outcome outcome, Layout layout) {
    if (outcome == Outcome::kHelp) return UsageOf(program, layout);
    return outcome == Outcome::kVersion ? "kawauo " KAWAUO_VERSION "\n" : "";
}

int Answer(Program program, Outcome outcome, std::FILE* out, Layout layout) {
    if (outcome == Outcome::kBad) return kUsageStatus;
    const bool help = outcome == Outcome::kHelp;
    std::fputs(AnswerText(program, outcome, layout).c_str(), out);
    // A full disk or a closed pipe: the player asked for this text and must
    // not be told all went well.
    if (std::fflush(out) == 0 && !std::ferror(out)) return 0;
    std::fprintf(stderr, "%s: cannot write the %s: %s\n", TextOf(program).name, help ? "usage" : "version",
                 std::strerror(errno));
    return 1;
}

std::string Shown(std::string_view text, size_t most) {
    size_t end = std::min(text.size(), most);
    // Cut before a character, not inside one (UTF-8 continuation bytes are 10xxxxxx).
    while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    std::string shown;
    for (const unsigned char c : text.substr(0, end)) {
        if (c >= 0x20 && c != 0x7F) {
            shown += static_cast<char>(c);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        shown += escaped;
    }
    if (end < text.size()) shown += "...";
    return shown;
}

std::optional<ScaleMode> ScaleModeNamed(const std::string& name) {
    if (name == "fit") return ScaleMode::kFit;
    if (name == "integer") return ScaleMode::kInteger;
    return std::nullopt;
}

const char* NameOf(ScaleMode mode) { return mode == ScaleMode::kFit ? "fit" : "integer"; }

std::optional<winapi::texts::Language> LanguageNamed(const std::string& name) {
    if (name == "ja") return winapi::texts::Language::kJapanese;
    if (name == "en") return winapi::texts::Language::kEnglish;
    return std::nullopt;
}

const char* NameOf(winapi::texts::Language language) {
    return language == winapi::texts::Language::kEnglish ? "en" : "ja";
}

}  // namespace player::options
