// The sim's script: one command a line, checked whole before anything runs,
// then read a command at a time as the run goes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "winapi/texts.h"

namespace sim {

enum class Op {
    Seed,
    Lang,
    Tick,
    Step,
    Down,
    Up,
    Frames,
    Frame,
    Activate,
    Lose,
    Close,
    Shot,
    Fail
};

struct Command {
    Op op;
    int line;          // 1-based line of the script, for messages
    int64_t number;    // seed, language, tick, step, frames, activate flag, virtual key, fail code
    std::string name;  // shot: file name without ".png"; fail: the platform call
    std::vector<uint32_t> reads;  // frame: what the clock reads in that frame, in turn
};

struct ScriptError {
    int line;  // 0 when the error is not about one line
    std::string message;
};

// What a reader takes: a kawauo-sim script (a recording is one), with
// `shot` lines when a shot directory is given; or a recording alone, as
// kawauo --play shows it: its first line player::record::HeaderLine(), then only the
// lines the recorder writes (lang, seed, activate, frame, down, up, close).
enum class ScriptKind { kScript, kScriptWithShots, kRecording };

// Parses a whole script. A script whose first line is player::record::HeaderLine()
// is a recording of a run: refused when made by another version of the game,
// and when its last line is cut short. `shotsEnabled` says whether a shot
// directory was given, without which a `shot` line is an error. On the first bad line,
// returns false with that line's number and what is wrong with it. With
// `commands` null the script is only checked, in memory that does not grow
// with its length.
bool ParseScript(const std::string& text, bool shotsEnabled, std::vector<Command>* commands,
                 ScriptError* error);
// The same for a recording alone (ScriptKind::kRecording).
bool ParseRecording(const std::string& text, std::vector<Command>* commands, ScriptError* error);

// A script checked whole and kept as it was read; its commands are read from
// it as the run goes, so that a long one costs its length once.
struct Script {
    std::vector<uint8_t> text;
    ScriptKind kind = ScriptKind::kScript;
    // The texts' language its `lang` line names, which the game must be
    // given before it starts (the runner passes the line by).
    std::optional<winapi::texts::Language> language;
};

// Where a reading of a script has got to; a new one is at its start.
struct ScriptPlace {
    size_t offset = 0;        // of the next line
    int line = 0;             // of the line last read
    bool recording = false;   // the first line says the script is a recording
    bool framesSeen = false;  // a `frames` or `frame` line has been read
};

// The command after `place` in a script LoadScript checked; false at its end.
bool NextCommand(const Script& script, ScriptPlace* place, Command* command);

// Reads the script or recording at `path` ("-": standard input, which like
// a file may hold winapi::kMaxReadBytes at most) and checks it whole, as
// `kind` says. `path` may be a run's link instead (player::run_link::IsLink),
// and the file may hold one, alone: the recording in it is read. False with
// "cannot read PATH: why", "PATH:LINE: what is wrong" or "link LINK: what is
// wrong" in `why`: what kawauo-sim, kawauo --play and the web page say.
bool LoadScript(const std::string& path, ScriptKind kind, Script* script, std::string* why);

}  // namespace sim
