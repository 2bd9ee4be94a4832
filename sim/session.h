// The real game's --record, --play and --trace, on whichever host it runs:
// set up before WinMain, finished after it.
#pragma once
#include <string>

namespace sim {

struct Session {
    std::string recordPath;  // write the run here as a recording
    std::string playPath;    // show this recording instead of taking the player's input
    std::string tracePath;   // write the trace of every frame, draws included, here
};

// False (with why) when a file cannot be read or made, or the recording to
// play is refused; nothing has started then.
bool BeginSession(const Session& session, std::string* why);
// False (with why) when the recording or the trace could not be written whole.
bool EndSession(int exitCode, std::string* why);

}  // namespace sim
