// Reading the sim's script a command at a time, with the line of the first
// error: one reader for checking it whole and for running it.
#include "sim/script.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "player/key_names.h"
#include "player/options.h"
#include "player/record.h"
#include "player/run_link.h"
#include "player/version.h"
#include "winapi/fault.h"
#include "winapi/files.h"

namespace sim {
namespace {

struct Syntax {
    const char* word;
    Op op;
    int argumentCount;  // kSomeNumbers: one or more numbers
    int64_t min;        // range of the numeric argument, when it has one
    int64_t max;
    bool recorded;  // the recorder writes it: a recording may hold it
};

constexpr int kSomeNumbers = -1;
constexpr int kMaxReads = 64;                // of the clock in one frame: the game makes a handful
constexpr size_t kMaxWords = kMaxReads + 1;  // of any line that is not refused for its length
constexpr int64_t kUint32Max = 0xFFFFFFFFll;
constexpr int64_t kInt32Min = -0x80000000ll;
constexpr int64_t kInt32Max = 0x7FFFFFFFll;
constexpr const char* kNotARecording =
    "not a recording: its first line must be the one kawauo --record writes "
    "(kawauo-sim runs scripts)";

constexpr std::array<Syntax, 13> kSyntax = {{
    {"seed", Op::Seed, 1, INT64_MIN, INT64_MAX, true},
    {"lang", Op::Lang, 1, 0, 0, true},
    {"tick", Op::Tick, 1, 0, kUint32Max, false},
    {"step", Op::Step, 1, 0, kUint32Max, false},
    {"down", Op::Down, 1, 0, 0, true},
    {"up", Op::Up, 1, 0, 0, true},
    {"frames", Op::Frames, 1, 1, kInt32Max, false},
    {"frame", Op::Frame, kSomeNumbers, 0, kUint32Max, true},
    {"activate", Op::Activate, 1, 0, 1, true},
    {"lose", Op::Lose, 0, 0, 0, false},
    {"close", Op::Close, 0, 0, 0, true},
    {"shot", Op::Shot, 1, 0, 0, false},
    {"fail", Op::Fail, 2, kInt32Min, kUint32Max, false},
}};

// The words of a line, in place: no line costs memory of its own, however
// many a script holds. Past kMaxWords they are counted only.
class Words {
public:
    explicit Words(std::string_view line) {
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && IsSpace(line[i])) ++i;
            size_t start = i;
            while (i < line.size() && !IsSpace(line[i])) ++i;
            if (i == start) continue;
            if (count_ < kMaxWords) words_[count_] = line.substr(start, i - start);
            ++count_;
        }
    }
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The first kMaxWords only.
    std::string_view operator[](size_t i) const { return words_[i]; }
    std::string_view back() const { return words_[std::min(count_, kMaxWords) - 1]; }
    bool operator==(const Words& other) const {
        return count_ == other.count_ && count_ <= kMaxWords &&
               std::equal(words_.begin(), words_.begin() + count_, other.words_.begin());
    }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }
    std::array<std::string_view, kMaxWords> words_;
    size_t count_ = 0;
};

// A decimal integer with an optional minus sign, or 0x followed by hex
// digits. False when it is not one; `tooBig` when it is beyond 64 bits.
bool ParseInteger(std::string_view text, int64_t* value, bool* tooBig) {
    bool negative = false;
    int base = 10;
    *tooBig = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text[0] == '+' || text[0] == '-') return false;
    uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (end != text.data() + text.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        *tooBig = true;
    } else if (ec != std::errc()) {
        return false;
    } else if (negative) {
        *tooBig = magnitude > uint64_t{1} << 63;
        *value = static_cast<int64_t>(0 - magnitude);
    } else {
        *tooBig = magnitude > static_cast<uint64_t>(INT64_MAX);
        *value = static_cast<int64_t>(magnitude);
    }
    return true;
}

// Shot names become file names inside the shot directory: no path, no dot files.
bool IsSafeShotName(std::string_view name) {
    if (name.empty() || name.size() > 100 || name[0] == '.') return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '_' || c == '-' || c == '.';
        if (!ok) return false;
    }
    return true;
}

std::string Quoted(std::string_view word) { return "'" + std::string(word) + "'"; }

// The numeric argument `number` of a `syntax` line into `value`; an error message otherwise.
std::string ParseNumber(const Syntax& syntax, std::string_view number, int64_t* value) {
    bool tooBig = false;
    const std::string word = syntax.word;
    if (!ParseInteger(number, value, &tooBig)) {
        return Quoted(word) + ": not a number: " + Quoted(number);
    }
    if (tooBig || *value < syntax.min || *value > syntax.max) {
        return Quoted(word) + ": " + std::string(number) + " is out of range " +
               std::to_string(syntax.min) + ".." + std::to_string(syntax.max);
    }
    return "";
}

// A frame's reads of the clock, one number each.
std::string ParseReads(const Syntax& syntax, const Words& words, Command* command) {
    if (words.size() < 2 || words.size() > kMaxReads + 1) {
        return "'frame' takes 1 to " + std::to_string(kMaxReads) + " readings of the clock";
    }
    for (size_t i = 1; i < words.size(); ++i) {
        int64_t value = 0;
        std::string message = ParseNumber(syntax, words[i], &value);
        if (!message.empty()) return message;
        command->reads.push_back(static_cast<uint32_t>(value));
    }
    return "";
}

// One non-empty line of a script of `kind` into `command`; an error message
// otherwise.
std::string ParseLine(const Words& words, ScriptKind kind, Command* command) {
    const Syntax* syntax = nullptr;
    for (const Syntax& s : kSyntax) {
        if (words[0] == s.word) syntax = &s;
    }
    if (!syntax) return "unknown command " + Quoted(words[0]);
    if (kind == ScriptKind::kRecording && !syntax->recorded) {
        return Quoted(words[0]) +
               " is no line of a recording: kawauo --play shows only what kawauo --record writes "
               "(kawauo-sim runs scripts)";
    }
    const std::string word = syntax->word;
    command->op = syntax->op;
    command->number = 0;
    if (syntax->argumentCount == kSomeNumbers) return ParseReads(*syntax, words, command);
    if (static_cast<int>(words.size()) - 1 != syntax->argumentCount) {
        static const char* kCounts[] = {"no argument", "one argument", "two arguments"};
        return Quoted(word) + " takes " + kCounts[syntax->argumentCount];
    }
    switch (syntax->op) {
    case Op::Down:
    case Op::Up:
        command->number = player::VirtualKeyNamed(words[1]);
        if (command->number != 0) return "";
        return "unknown key " + Quoted(words[1]) +
               " (one of SPACE TAB ESCAPE LEFT UP RIGHT DOWN F1 F2 F3)";
    case Op::Lang:
        if (const auto language = player::options::LanguageNamed(std::string(words[1]))) {
            command->number = static_cast<int64_t>(*language);
            return "";
        }
        return "unknown language " + Quoted(words[1]) + " (ja or en)";
    case Op::Lose:
    case Op::Close:
        return "";
    case Op::Shot:
        if (kind != ScriptKind::kScriptWithShots)
            return "'shot' needs a shot directory (--shots DIR)";
        if (!IsSafeShotName(words[1])) {
            return "bad shot name " + Quoted(words[1]) +
                   " (letters, digits, '_', '-' and '.', not first)";
        }
        command->name.assign(words[1]);
        return "";
    case Op::Fail:
        command->name.assign(words[1]);
        if (winapi::FaultPoint point; !winapi::FindFaultPoint(words[1], &point)) {
            return "unknown platform call " + Quoted(words[1]);
        }
        break;
    default:
        break;
    }
    return ParseNumber(*syntax, words.back(), &command->number);
}

// Bytes a script's commands are written in: printable ASCII, tabs and the
// carriage return of a DOS line end. Anything else is a damaged file.
std::string CheckText(std::string_view line) {
    for (size_t i = 0; i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if ((c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r') continue;
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", c);
        return "not text: byte " + std::string(hex) + " at column " + std::to_string(i + 1);
    }
    return "";
}

// The first line of a recording names its format and the version of the
// game that made it, whose play it reproduces: only this very one.
std::string CheckHeader(const Words& words) {
    const std::string header = player::record::HeaderLine();
    const Words expected(header);
    if (words == expected) return "";
    bool sameButVersion = words.size() == expected.size();
    for (size_t i = 0; sameButVersion && i + 1 < words.size(); ++i)
        sameButVersion = words[i] == expected[i];
    if (sameButVersion) {
        return "recorded by kawauo " + std::string(words.back()) +
               ", this is kawauo " KAWAUO_VERSION ": its play would differ";
    }
    return "not a recording this game knows: expected " + Quoted(header);
}

// What is wrong with one line of a script; "" when nothing is. Only a line
// holding a command sets `command` (and its line number).
std::string CheckLine(std::string_view line, bool cutShort, ScriptKind kind, ScriptPlace* place,
                      Command* command) {
    std::string message = CheckText(line);
    if (!message.empty()) return message;
    const Words words(line);
    if (kind == ScriptKind::kRecording && place->line == 1 &&
        (words.empty() || words[0] != "recording")) {
        return kNotARecording;
    }
    if (words.empty()) return "";
    if (words[0] == "recording") {
        if (place->line != 1) return "'recording' belongs on the first line only";
        place->recording = true;
        return CheckHeader(words);
    }
    // Every line of a recording was written whole: a last line without its
    // end is what was being written when the recording stopped.
    if (place->recording && cutShort) {
        return "cut short (the recording stopped in the middle of this line): remove the line to "
               "play the rest";
    }
    command->line = place->line;
    message = ParseLine(words, kind, command);
    if (message.empty() && (command->op == Op::Seed || command->op == Op::Lang) &&
        place->framesSeen) {
        message = Quoted(words[0]) + " must come before the first 'frames'";
    }
    if (message.empty() && command->op == Op::Shot && !place->framesSeen) {
        message = "'shot' before the first 'frames': no frame has been shown yet";
    }
    if (command->op == Op::Frames || command->op == Op::Frame) place->framesSeen = true;
    return message;
}

enum class Read { kCommand, kEnd, kBad };

// The next command of `text` after `place`, skipping what holds none.
Read ReadCommand(std::string_view text, ScriptKind kind, ScriptPlace* place, Command* command,
                 ScriptError* error) {
    while (place->offset < text.size()) {
        const size_t newline = text.find('\n', place->offset);
        std::string_view line = text.substr(place->offset, newline - place->offset);
        place->offset = newline == std::string_view::npos ? text.size() : newline + 1;
        ++place->line;
        line = line.substr(0, line.find('#'));
        command->line = 0;
        command->number = 0;
        command->name.clear();
        command->reads.clear();
        std::string message =
            CheckLine(line, newline == std::string_view::npos, kind, place, command);
        if (!message.empty()) {
            *error = ScriptError{place->line, message};
            return Read::kBad;
        }
        if (command->line != 0) return Read::kCommand;
    }
    if (kind == ScriptKind::kRecording && place->line == 0) {
        *error = ScriptError{1, kNotARecording};
        return Read::kBad;
    }
    return Read::kEnd;
}

// The whole of `text` into `commands`, or only checked when that is null.
bool Parse(std::string_view text, ScriptKind kind, std::vector<Command>* commands,
           ScriptError* error) {
    std::vector<Command> parsed;
    ScriptPlace place;
    Command command{};
    for (Read read; (read = ReadCommand(text, kind, &place, &command, error)) != Read::kEnd;) {
        if (read == Read::kBad) return false;
        if (commands != nullptr) parsed.push_back(command);
    }
    if (commands != nullptr) *commands = std::move(parsed);
    return true;
}

std::string_view TextOf(const Script& script) {
    return {reinterpret_cast<const char*>(script.text.data()), script.text.size()};
}

// Why a script could not be read, for "cannot read PATH: ".
std::string ReadProblem(winapi::FileProblem problem) {
    if (problem == winapi::FileProblem::kTooLarge) {
        return "too large: " + std::to_string(winapi::kMaxReadBytes >> 20) + " MiB at most";
    }
    return winapi::ProblemText(problem);
}

// A file's text, or a link's recording when the file holds nothing but a link.
bool ReadFile(const std::string& path, std::vector<uint8_t>* text, std::string* why) {
    const bool standardInput = path == "-";
    winapi::FileProblem problem;
    const bool read = standardInput ? winapi::ReadToEnd(stdin, text, &problem)
                                    : winapi::ReadWholeFile(path, text, &problem);
    if (!read) {
        *why = "cannot read " +
               (standardInput ? std::string("standard input") : player::options::ShownPath(path)) +
               ": " + ReadProblem(problem);
        return false;
    }
    std::string_view held(reinterpret_cast<const char*>(text->data()), text->size());
    const size_t start = held.find_first_not_of(" \t\r\n");
    held = start == std::string_view::npos
               ? ""
               : held.substr(start, held.find_last_not_of(" \t\r\n") + 1 - start);
    if (held.find('\n') != std::string_view::npos || !player::run_link::IsLink(held)) return true;
    std::string recording;
    if (!player::run_link::ReadLink(held, &recording, why)) {
        *why = player::options::ShownPath(path) + ": its link: " + *why;
        return false;
    }
    text->assign(recording.begin(), recording.end());
    return true;
}

// The text of a script or recording, from a file or a link, and the name
// its messages give it.
bool ReadRun(const std::string& path, std::vector<uint8_t>* text, std::string* shown,
             std::string* why) {
    if (!player::run_link::IsLink(path)) {
        *shown = player::options::ShownPath(path);
        return ReadFile(path, text, why);
    }
    *shown = "link " + player::options::Shown(path);
    std::string recording;
    if (!player::run_link::ReadLink(path, &recording, why)) {
        *why = *shown + ": " + *why;
        return false;
    }
    text->assign(recording.begin(), recording.end());
    return true;
}

// The language a checked script's `lang` line names, before its first frame.
std::optional<winapi::texts::Language> LanguageOf(const Script& script) {
    std::optional<winapi::texts::Language> language;
    ScriptPlace place;
    Command command{};
    while (NextCommand(script, &place, &command) && command.op != Op::Frame &&
           command.op != Op::Frames) {
        if (command.op == Op::Lang) language = static_cast<winapi::texts::Language>(command.number);
    }
    return language;
}

}  // namespace

bool ParseScript(const std::string& text, bool shotsEnabled, std::vector<Command>* commands,
                 ScriptError* error) {
    return Parse(text, shotsEnabled ? ScriptKind::kScriptWithShots : ScriptKind::kScript, commands,
                 error);
}

bool ParseRecording(const std::string& text, std::vector<Command>* commands, ScriptError* error) {
    return Parse(text, ScriptKind::kRecording, commands, error);
}

bool NextCommand(const Script& script, ScriptPlace* place, Command* command) {
    ScriptError error;
    return ReadCommand(TextOf(script), script.kind, place, command, &error) == Read::kCommand;
}

bool LoadScript(const std::string& path, ScriptKind kind, Script* script, std::string* why) {
    Script loaded;
    loaded.kind = kind;
    std::string shown;
    if (!ReadRun(path, &loaded.text, &shown, why)) return false;
    ScriptError error;
    if (!Parse(TextOf(loaded), kind, nullptr, &error)) {
        *why = shown + ":" + std::to_string(error.line) + ": " + error.message;
        return false;
    }
    loaded.language = LanguageOf(loaded);
    *script = std::move(loaded);
    return true;
}

}  // namespace sim
