// What every script the reader accepts must hold for the runner, and where a
// refusal may point: shared by the script and recording fuzz targets.
#pragma once
#include <string>
#include <vector>

#include "sim/script.h"

namespace fuzz {

// The lines of `text` as the reader counts them: a last line without its end counts.
int LineCount(const std::string& text);

// Commands the runner can take as they are: in the order of their lines,
// within the text; the seed before the first frame, shots after one and only
// with a shot folder, under names that stay inside it; keys, platform calls
// and counts that exist.
bool Runnable(const std::vector<sim::Command>& commands, int lines, bool shotsEnabled);

// A refusal names a line of the text, or none (0).
bool Placed(const sim::ScriptError& error, int lines);

// The same commands, those of `a` `lineShift` lines further down than those of `b`.
bool SameCommands(const std::vector<sim::Command>& a, const std::vector<sim::Command>& b, int lineShift);

}  // namespace fuzz
