// The game driven by a script on whichever driver the program links, with
// the sim's command line (kawauo-sim's): kawauo-sim on the headless driver,
// kawauo-null on the null driver, whose traces agree frame for frame.
#pragma once

namespace core {

// Reads the command line, then runs the script, writing its trace and
// shots; `program` speaks on standard error. Returns the game's exit
// status, or 2 when the script could not be run or its files written.
int ScriptMain(int argc, char** argv, const char* program);

}  // namespace core
