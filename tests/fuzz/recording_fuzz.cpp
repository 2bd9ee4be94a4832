// Fuzz target: any bytes as a recording, after the header line the game
// writes first, read as --play reads it; what is accepted must be runnable,
// hold only what the recorder writes and no line the recording was cut
// short in, and be the same commands as its body read as a script.
#include <cstdlib>
#include <string>
#include <vector>

#include "player/record.h"
#include "sim/script.h"
#include "tests/fuzz/fuzz_entry.h"
#include "tests/fuzz/script_checks.h"

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string header = player::record::HeaderLine() + "\n";
    const std::string body(reinterpret_cast<const char*>(data), size);
    const std::string text = header + body;
    const int lines = fuzz::LineCount(text);
    std::vector<sim::Command> commands;
    sim::ScriptError error{};
    const bool ok = sim::ParseRecording(text, &commands, &error);
    if (ok ? !fuzz::Runnable(commands, lines, false) : !fuzz::Placed(error, lines)) std::abort();
    if (!ok) return 0;
    // Only what the recorder writes: a script's clock, faults or shots would
    // play what no player did.
    for (const sim::Command& c : commands) {
        if (c.op != sim::Op::Seed && c.op != sim::Op::Lang && c.op != sim::Op::Activate && c.op != sim::Op::Frame &&
            c.op != sim::Op::Down && c.op != sim::Op::Up && c.op != sim::Op::Close)
            std::abort();
    }
    // Every line of a recording is written whole: a last line without its
    // end was being written when the recording stopped, and is refused.
    const bool cutShort = !body.empty() && body.back() != '\n';
    if (cutShort && !commands.empty() && commands.back().line == lines) std::abort();
    // The header adds nothing but that rule, and a script reader takes it too.
    std::vector<sim::Command> alone;
    if (!sim::ParseScript(body, false, &alone, &error) || !fuzz::SameCommands(commands, alone, 1)) std::abort();
    return 0;
}
