// The command lines of kawauo, kawauo-sim and the web page: one table of
// options, each row naming the programs that take it, read before any
// window opens.
#pragma once
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "winapi/texts.h"

namespace player::options {

// Who reads the command line: the players' game, the scripted sim, or the
// web page (its query turned into arguments).
enum class Program { kGame, kSim, kWeb };

// How the 640x480 picture fills a larger screen: whole factors only, or
// whole factors then a smooth step to the screen's height.
enum class ScaleMode { kInteger, kFit };

// What the command line asked for; empty where it said nothing.
struct Options {
    bool help = false;
    bool version = false;
    std::optional<bool> fullscreen;
    std::optional<ScaleMode> scale;
    bool pauseUnfocused = false;
    std::optional<winapi::texts::Language> lang;  // the game's texts
    bool outline = false;                         // texts drawn with a dark edge
    std::string recordPath;                       // write the run here as a recording
    std::string playPath;                         // show this recording (or run's link) instead of the player's input
    std::string tracePath;                        // write the trace of every frame here
    std::string scriptPath;                       // the sim's script ("-": standard input), the page's ?script=
    std::string shotsDir;                         // the sim's shots go here
    bool draws = false;                           // the sim's trace holds every drawing call
    bool printLink = false;                       // the sim prints the link of its recording instead of running it
    bool printRecording = false;                  // the sim prints the recording a link holds instead of running it
};

enum class Outcome { kRun, kHelp, kVersion, kBad };

// Reads argv[1..argc-1] as `program` takes them; kBad after one line on
// `errors` saying which argument is wrong and, for a program with a --help,
// "; try --help". "--name value" and "--name=value" both work; -h, -? and /?
// are --help, and the game takes a file ending in .rec as --play's.
Outcome Parse(Program program, int argc, const char* const* argv, Options* options, std::FILE* errors = stderr);
// The same, the refusal's line (with its line break) added to *refusal
// instead: for a program that finds out later where its player reads it
// (kawauo.exe, which may have to show it in a box).
Outcome Parse(Program program, int argc, const char* const* argv, Options* options, std::string* refusal);

// How the usage sets out its options: each one's help in a column beside
// it, for a terminal's fixed-pitch font, or on the line under it, for a
// message box's proportional one.
enum class Layout { kColumns, kList };

// The exit status of a command line that asks for no run: for kHelp the
// usage (from the table Parse reads) and for kVersion "kawauo 1.0.0",
// written to `out`: 0, or 1 after a line on standard error when they could
// not be written whole; for kBad kUsageStatus (Parse has said why).
int Answer(Program program, Outcome outcome, std::FILE* out, Layout layout = Layout::kColumns);
// What Answer writes: the usage (set out by `layout`) or the version line;
// nothing for kRun and kBad.
std::string AnswerText(Program program, Outcome outcome, Layout layout = Layout::kColumns);

// The system's part (options_posix.cpp, options_win32.cpp): the game's
// usage's last line, naming where the player's copy of the game lists the
// keys (the manual page, the read-mes beside kawauo.exe).
const char* KeysFooter();

// An argument as a message shows it: control bytes as \xNN, and past `most`
// bytes cut (between characters) with "...", so that no argument garbles the
// player's terminal or floods the line.
constexpr size_t kShownBytes = 60;
constexpr size_t kShownPathBytes = 4096;  // no system opens a longer path
std::string Shown(std::string_view text, size_t most = kShownBytes);
// A path as messages show it: Shown, cut only past kShownPathBytes.
inline std::string ShownPath(std::string_view path) { return Shown(path, kShownPathBytes); }

// Names as they appear on the command line.
std::optional<ScaleMode> ScaleModeNamed(const std::string& name);
const char* NameOf(ScaleMode mode);
std::optional<winapi::texts::Language> LanguageNamed(const std::string& name);
const char* NameOf(winapi::texts::Language language);

// Exit status of a command line that could not be read.
constexpr int kUsageStatus = 2;

}  // namespace player::options
