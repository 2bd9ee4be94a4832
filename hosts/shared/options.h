// The command lines of kawauo, kawauo-sim and the web page: one table of
// options, each row naming the programs that take it, read before any
// window opens.
#pragma once
#include <cstdio>
#include <optional>
#include <string>

#include "winapi/language.h"

namespace options {

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
    std::optional<texts::Language> lang;  // the game's texts
    bool outline = false;                 // texts drawn with a dark edge
    std::string recordPath;               // write the run here as a recording
    std::string playPath;                 // show this recording instead of the player's input
    std::string tracePath;                // write the trace of every frame here
    std::string scriptPath;               // the sim's script ("-": standard input), the page's ?script=
    std::string shotsDir;                 // the sim's shots go here
    bool draws = false;                   // the sim's trace holds every drawing call
};

enum class Outcome { kRun, kHelp, kVersion, kBad };

// Reads argv[1..argc-1] as `program` takes them; kBad after a line on
// standard error saying which argument is wrong. "--name value" and
// "--name=value" both work.
Outcome Parse(Program program, int argc, const char* const* argv, Options* options);

// The usage text of `program`, one line an option, from the same table Parse reads.
void PrintUsage(Program program, std::FILE* out);
// "kawauo 1.0.0".
void PrintVersion(std::FILE* out);

// Names as they appear on the command line.
std::optional<ScaleMode> ScaleModeNamed(const std::string& name);
const char* NameOf(ScaleMode mode);
std::optional<texts::Language> LanguageNamed(const std::string& name);
const char* NameOf(texts::Language language);

// Exit status of a command line that could not be read.
constexpr int kUsageStatus = 2;

}  // namespace options
