// The real game's --record, --play and --trace, on whichever host it runs:
// set up before WinMain, finished after it.
#pragma once
#include <filesystem>
#include <string>

#include "player/options.h"

namespace core {

struct Session {
    std::string recordPath;  // write the run here as a recording
    std::string playPath;    // show this recording (or run's link) instead of taking the player's input
    std::string tracePath;   // write the trace of every frame, draws included, here
    // The trace written straight to tracePath as the run goes, unchecked: the
    // web page's own file, which the page reads while the game runs.
    bool traceInPlace = false;
    // The command line named the texts' language: the one a recording was
    // played in does not replace it.
    bool languageChosen = false;
};

// Reads the recording to play (and gives the game the language it was
// played in, unless one was chosen), checks the files to write (nothing stands in
// a recording's place, a trace replaces only a regular file, and none is the
// same file as another: player::CheckOutputs) and makes them beside their
// places. False (with "OPTION FILE: why" or the recording's line) when one is
// refused; nothing has started then, and nothing is left.
bool BeginSession(const Session& session, std::string* why);
// Puts the recording and the trace in their places, whole; a run that showed
// no frame leaves neither. False (with why) when one could not be written whole.
bool EndSession(int exitCode, std::string* why);

// The players' run, as every host's entry makes it: the session of the
// command line's --record, --play and --trace begun in the working folder
// (whose names they are), the picture folder entered (the first of the
// working folder, `programFolder` and the installed data folders that holds
// the pictures), WinMain, and the session ended; what went wrong said on
// standard error. Returns the exit status.
int PlayGame(const player::options::Options& chosen, const std::filesystem::path& programFolder);

}  // namespace core
