// Parsing the sim's script into commands, with the line of the first error.
#include "sim/script.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "hosts/shared/key_names.h"
#include "hosts/shared/options.h"
#include "hosts/shared/record.h"
#include "hosts/shared/version.h"
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
};

constexpr int kSomeNumbers = -1;
constexpr int kMaxReads = 64;  // of the clock in one frame: the game makes a handful
constexpr int64_t kUint32Max = 0xFFFFFFFFll;
constexpr int64_t kInt32Min = -0x80000000ll;
constexpr int64_t kInt32Max = 0x7FFFFFFFll;

constexpr std::array<Syntax, 12> kSyntax = {{
    {"seed", Op::Seed, 1, INT64_MIN, INT64_MAX},
    {"tick", Op::Tick, 1, 0, kUint32Max},
    {"step", Op::Step, 1, 0, kUint32Max},
    {"down", Op::Down, 1, 0, 0},
    {"up", Op::Up, 1, 0, 0},
    {"frames", Op::Frames, 1, 1, kInt32Max},
    {"frame", Op::Frame, kSomeNumbers, 0, kUint32Max},
    {"activate", Op::Activate, 1, 0, 1},
    {"lose", Op::Lose, 0, 0, 0},
    {"close", Op::Close, 0, 0, 0},
    {"shot", Op::Shot, 1, 0, 0},
    {"fail", Op::Fail, 2, kInt32Min, kUint32Max},
}};

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

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
std::string ParseReads(const Syntax& syntax, const std::vector<std::string_view>& words,
                       Command* command) {
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

// One non-empty line into `command`; an error message otherwise.
std::string ParseLine(const std::vector<std::string_view>& words, bool shotsEnabled,
                      Command* command) {
    const Syntax* syntax = nullptr;
    for (const Syntax& s : kSyntax) {
        if (words[0] == s.word) syntax = &s;
    }
    if (!syntax) return "unknown command " + Quoted(words[0]);
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
        command->number = platform::VirtualKeyNamed(words[1]);
        if (command->number != 0) return "";
        return "unknown key " + Quoted(words[1]) +
               " (one of SPACE TAB ESCAPE LEFT UP RIGHT DOWN F1 F2 F3)";
    case Op::Lose:
    case Op::Close:
        return "";
    case Op::Shot:
        if (!shotsEnabled) return "'shot' needs a shot directory (--shots DIR)";
        if (!IsSafeShotName(words[1])) {
            return "bad shot name " + Quoted(words[1]) +
                   " (letters, digits, '_', '-' and '.', not first)";
        }
        command->name = std::string(words[1]);
        return "";
    case Op::Fail:
        command->name = std::string(words[1]);
        if (platform::FaultPoint point; !platform::FindFaultPoint(words[1], &point)) {
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

// The whole of standard input.
bool ReadStandardInput(std::string* text, std::string* why) {
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) text->append(chunk, got);
    if (!std::ferror(stdin)) return true;
    *why = std::string("cannot read standard input: ") + std::strerror(errno);
    return false;
}

// The first line of a recording names its format and the version of the
// game that made it, whose play it reproduces: only this very one.
std::string CheckHeader(const std::vector<std::string_view>& words) {
    const std::string header = record::HeaderLine();
    const std::vector<std::string_view> expected = SplitWords(header);
    if (words == expected) return "";
    if (words.size() == expected.size() &&
        std::equal(words.begin(), words.end() - 1, expected.begin())) {
        return "recorded by kawauo " + std::string(words.back()) +
               ", this is kawauo " KAWAUO_VERSION ": its play would differ";
    }
    return "not a recording this game knows: expected " + Quoted(header);
}

// What is wrong with one line of a script; "" when nothing is. Only a line
// holding a command sets `command` (and its line number).
std::string CheckLine(std::string_view line, int lineNumber, bool cutShort, bool* recording,
                      bool shotsEnabled, Command* command) {
    std::string message = CheckText(line);
    if (!message.empty()) return message;
    std::vector<std::string_view> words = SplitWords(line);
    if (words.empty()) return "";
    if (words[0] == "recording") {
        if (lineNumber != 1) return "'recording' belongs on the first line only";
        *recording = true;
        return CheckHeader(words);
    }
    // Every line of a recording was written whole: a last line without its
    // end is what was being written when the recording stopped.
    if (*recording && cutShort) {
        return "cut short (the recording stopped in the middle of this line): remove the line to "
               "play the rest";
    }
    command->line = lineNumber;
    return ParseLine(words, shotsEnabled, command);
}

}  // namespace

bool ParseScript(const std::string& text, bool shotsEnabled, std::vector<Command>* commands,
                 ScriptError* error) {
    std::vector<Command> parsed;
    bool framesSeen = false;
    bool recording = false;
    std::string_view rest = text;
    for (int lineNumber = 1; !rest.empty(); ++lineNumber) {
        size_t newline = rest.find('\n');
        std::string_view line = rest.substr(0, newline);
        rest = newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
        line = line.substr(0, line.find('#'));
        Command command{};
        std::string message = CheckLine(line, lineNumber, newline == std::string_view::npos,
                                        &recording, shotsEnabled, &command);
        if (message.empty() && command.line == 0) continue;
        if (message.empty() && command.op == Op::Seed && framesSeen) {
            message = "'seed' must come before the first 'frames'";
        }
        if (message.empty() && command.op == Op::Shot && !framesSeen) {
            message = "'shot' before the first 'frames': no frame has been shown yet";
        }
        if (!message.empty()) {
            *error = ScriptError{lineNumber, message};
            return false;
        }
        if (command.op == Op::Frames || command.op == Op::Frame) framesSeen = true;
        parsed.push_back(std::move(command));
    }
    *commands = std::move(parsed);
    return true;
}

bool LoadScript(const std::string& path, bool shotsEnabled, std::vector<Command>* commands,
                std::string* why) {
    std::string text;
    if (path == "-") {
        if (!ReadStandardInput(&text, why)) return false;
    } else {
        std::vector<uint8_t> bytes;
        platform::FileProblem problem;
        if (!platform::ReadWholeFile(path, &bytes, &problem)) {
            *why = "cannot read " + options::Shown(path, options::kShownPathBytes) + ": " +
                   platform::ProblemText(problem);
            return false;
        }
        text.assign(bytes.begin(), bytes.end());
    }
    ScriptError error;
    if (!ParseScript(text, shotsEnabled, commands, &error)) {
        *why = options::Shown(path, options::kShownPathBytes) + ":" + std::to_string(error.line) +
               ": " + error.message;
        return false;
    }
    return true;
}

}  // namespace sim
