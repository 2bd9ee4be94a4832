// What the script and recording fuzz targets ask of every script the reader accepts.
#include "tests/fuzz/script_checks.h"

#include <algorithm>

#include "player/key_names.h"
#include "winapi/fault.h"

namespace fuzz {
namespace {

// A shot's name becomes a file in the shot folder: no path, no dot file, no
// byte a file name should not hold.
bool StaysInFolder(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F && c != '/' && c != '\\'; });
}

// What one command needs to be run, apart from its place in the script.
bool Whole(const sim::Command& c, bool shotsEnabled) {
    if ((c.op == sim::Op::Frame) == c.reads.empty()) return false;
    switch (c.op) {
        case sim::Op::Down:
        case sim::Op::Up: return player::KeyNameOf(static_cast<int>(c.number)) != nullptr;
        case sim::Op::Frames: return c.number >= 1;
        case sim::Op::Activate: return c.number == 0 || c.number == 1;
        case sim::Op::Lang: return c.number >= 0 && c.number < winapi::texts::kLanguageCount;
        case sim::Op::Shot: return shotsEnabled && StaysInFolder(c.name);
        case sim::Op::Fail: {
            winapi::FaultPoint point;
            return winapi::FindFaultPoint(c.name, &point);
        }
        default: return true;
    }
}

}  // namespace

int LineCount(const std::string& text) {
    int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    return !text.empty() && text.back() != '\n' ? lines + 1 : lines;
}

bool Runnable(const std::vector<sim::Command>& commands, int lines, bool shotsEnabled) {
    int previousLine = 0;
    bool framesSeen = false;
    for (const sim::Command& c : commands) {
        if (c.line <= previousLine || c.line > lines || !Whole(c, shotsEnabled)) return false;
        if ((c.op == sim::Op::Seed || c.op == sim::Op::Lang) && framesSeen) return false;
        if (c.op == sim::Op::Shot && !framesSeen) return false;
        framesSeen = framesSeen || c.op == sim::Op::Frames || c.op == sim::Op::Frame;
        previousLine = c.line;
    }
    return true;
}

bool Placed(const sim::ScriptError& error, int lines) {
    return error.line >= 0 && error.line <= lines && !error.message.empty();
}

bool SameCommands(const std::vector<sim::Command>& a, const std::vector<sim::Command>& b, int lineShift) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [lineShift](const sim::Command& x, const sim::Command& y) {
                          return x.op == y.op && x.line == y.line + lineShift && x.number == y.number &&
                                 x.name == y.name && x.reads == y.reads;
                      });
}

}  // namespace fuzz
