// A run of the game driven between its frames: a script's commands played
// through the platform's record-and-replay input, and the trace of every
// frame. Used by kawauo-sim and by the real game's --play and --trace.
#pragma once
#include <functional>
#include <string>

#include "sim/script.h"
#include "sim/trace.h"

namespace sim {

struct RunOptions {
    const char* program = "kawauo";  // says who is speaking on standard error
    bool scripted = false;           // play `script`; otherwise only trace
    Script script;
    // Shown in the window (--play): a recorded ESC or close does not end the
    // show, and at the end of the script the game holds still (its clock
    // stops, no input) until the viewer leaves.
    bool show = false;
    TraceWriter* trace = nullptr;  // null: no trace
    bool draws = false;            // the draw log in the trace
    // Writes the picture last shown as NAME.png in the shot directory; false with why.
    std::function<bool(const std::string& name, std::string* why)> shoot;
    // Called once, at the end of the frame in which a write of the trace or
    // a shot first failed; null: the run goes on without them.
    std::function<void()> writeFailed;
};

// Takes over the platform's clock and input when scripted, runs the commands
// up to the first frame and hears of every frame's end. Call before WinMain.
void StartRun(RunOptions options);
// After WinMain: the last reports and the exit line. False when the trace
// could not be written (its writer says why) or a shot failed (already said
// on standard error).
bool FinishRun(int exitCode);

}  // namespace sim
