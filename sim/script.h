// The sim's script: one command a line, parsed whole before anything runs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class Op { Seed, Tick, Step, Down, Up, Frames, Frame, Activate, Lose, Close, Shot, Fail };

struct Command {
    Op op;
    int line;                     // 1-based line of the script, for messages
    int64_t number;               // seed, tick, step, frames, activate flag, virtual key, fail code
    std::string name;             // shot: file name without ".png"; fail: the platform call
    std::vector<uint32_t> reads;  // frame: what the clock reads in that frame, in turn
};

struct ScriptError {
    int line;  // 0 when the error is not about one line
    std::string message;
};

// Parses a whole script. A script whose first line is record::HeaderLine()
// is a recording of a run: refused when made by another version of the game,
// and when its last line is cut short. `shotsEnabled` says whether a shot
// directory was given, without which a `shot` line is an error. On the first bad line,
// returns false with that line's number and what is wrong with it.
bool ParseScript(const std::string& text, bool shotsEnabled, std::vector<Command>* commands,
                 ScriptError* error);

// Reads the script or recording at `path` ("-": standard input) and parses
// it whole, as above. False with "cannot read PATH: why" or "PATH:LINE: what
// is wrong" in `why`: what kawauo-sim, kawauo --play and the web page say.
bool LoadScript(const std::string& path, bool shotsEnabled, std::vector<Command>* commands,
                std::string* why);

}  // namespace sim
