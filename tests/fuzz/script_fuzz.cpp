// Fuzz target: any bytes as a script, read with a shot folder and without;
// what is accepted must be runnable, and the shot folder may change only
// whether `shot` lines are taken.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/script.h"
#include "tests/fuzz/fuzz_entry.h"
#include "tests/fuzz/script_checks.h"

namespace {

struct Reading {
    bool ok = false;
    std::vector<sim::Command> commands;
    sim::ScriptError error{};
};

Reading Read(const std::string& text, bool shotsEnabled, int lines) {
    Reading r;
    r.ok = sim::ParseScript(text, shotsEnabled, &r.commands, &r.error);
    if (r.ok ? !fuzz::Runnable(r.commands, lines, shotsEnabled) : !fuzz::Placed(r.error, lines)) std::abort();
    return r;
}

}  // namespace

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int lines = fuzz::LineCount(text);
    const Reading with = Read(text, true, lines);
    const Reading without = Read(text, false, lines);
    if (!with.ok) {
        if (without.ok) std::abort();
        return 0;
    }
    // Without a shot folder the same script stops at its first shot, or
    // gives the same commands when it has none.
    auto shot = std::find_if(with.commands.begin(), with.commands.end(),
                             [](const sim::Command& c) { return c.op == sim::Op::Shot; });
    const bool agree = shot == with.commands.end()
                           ? without.ok && fuzz::SameCommands(with.commands, without.commands, 0)
                           : !without.ok && without.error.line == shot->line;
    if (!agree) std::abort();
    return 0;
}
