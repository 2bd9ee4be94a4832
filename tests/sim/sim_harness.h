// Running kawauo-sim from tests: a script in, the parsed trace out, in a
// working directory of the test's own with generated pictures.
#pragma once
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "tests/support/support.h"  // testsupport::TempFolder, for a run's working directory

namespace simtest {

using Json = nlohmann::ordered_json;  // keeps the trace's key order

struct SimRun {
    int status = -1;           // exit status; -1 when it did not exit by itself
    long peakKilobytes = 0;    // the most memory it held at once (its maximum resident set)
    std::string errors;        // its standard error
    std::vector<Json> lines;   // every trace line, in order
    std::vector<Json> frames;  // the frame lines: frames[0] is frame 1
    std::vector<Json> events;  // the event lines, in order
};

// The game's 33 pictures as small generated bitmaps in dir/bmp, all sharing
// one colour table (entry i is TestColour(i), all distinct). Each picture's
// top-left pixel is index 0 (its key colour); the rest:
//   back.bmp    vertical bands of 64 columns, indices 40..49 from the left
//   awa.bmp     key colour, with an 8x8 square of index 5 in each 16x16 frame
//   push.bmp    key colour, with a 200x100 box of index 4 at (220, 190)
//   opn.bmp     key colour in rows 0..39 (the river shows there), index 6 below
//   every other picture filled with its catalogue number (fish1.bmp 7, ...)
// Pictures named in `leaveOut` (as "fish1.bmp") are not written.
void WriteTestPictures(const std::string& dir, const std::vector<std::string>& leaveOut = {});
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
Rgb TestColour(int index);
constexpr int kBackBandIndex = 40;  // back.bmp's first band
constexpr int kPushBoxIndex = 4;
constexpr int kOpnIndex = 6;

// What kawauo-sim is given instead, where set.
struct Redirect {
    std::string input;   // standard input opened from here, instead of the script
    std::string output;  // standard output opened here, and the trace then not read
    std::string script;  // the script's name on the command line, instead of "-"
};

// Runs kawauo-sim in `workDir` with `args`, the script on its standard input
// and its trace on standard output, and parses every line of the trace (a line
// that is not JSON throws, failing the test). A run that has not ended after
// two minutes is killed (status -1). The descriptors in `closed` (1, 2) are
// closed when it starts.
SimRun RunSim(const std::string& script, const std::string& workDir,
              const std::vector<std::string>& args = {}, const std::vector<int>& closed = {},
              const Redirect& redirect = {});

// The kawauo-sim program the runs start, for a test that starts it itself.
const char* SimProgram();

// The run's status and standard error, for failure messages.
std::string Describe(const SimRun& run);

}  // namespace simtest
