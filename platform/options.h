// The players' command line: one table of options, read before any window
// opens.
#pragma once
#include <cstdio>
#include <optional>
#include <string>

#include "platform/language.h"

namespace options {

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
};

enum class Outcome { kRun, kHelp, kVersion, kBad };

// Reads argv[1..argc-1]; kBad after a line on standard error saying which
// argument is wrong. "--name value" and "--name=value" both work.
Outcome Parse(int argc, const char* const* argv, Options* options);

// The usage text, one line an option, from the same table Parse reads.
void PrintUsage(std::FILE* out);
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
