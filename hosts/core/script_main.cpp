// The game driven by a script, writing a trace of every frame, on whichever
// driver the program links: kawauo-sim's headless one, kawauo-null's; and a
// recording's link, or a link's recording, for --link and --recording.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "hosts/core/script_main.h"
#include "hosts/core/shown.h"
#include "player/options.h"
#include "player/output_file.h"
#include "player/png_write.h"
#include "player/record.h"
#include "player/run_link.h"
#include "sim/runner.h"
#include "sim/script.h"
#include "sim/trace.h"
#include "winapi/inputs.h"
#include "winapi/process.h"
#include "winapi/text.h"
#include "winapi/texts.h"
#include "winapi/win.h"

namespace {

constexpr int kRunnerFailure = 2;

const char* g_program =
    "kawauo-sim";  // who speaks on standard error  // the game exits with 0, or 1 when it cannot start

// The frame last shown, as an 8-bit palette PNG at `path`.
bool WritePng(const std::string& path, const core::Shown* frame, std::string* why) {
    if (frame == nullptr) {
        *why = "no frame has been shown yet";
        return false;
    }
    return player::WritePalettePng(path, frame->pixels.data(), kScreenWidth, kScreenHeight, frame->palette, why);
}

// The files the run writes: the trace, the shot folder and each shot in it.
std::vector<player::NamedFile> Outputs(const player::options::Options& chosen, const sim::Script& script) {
    std::vector<player::NamedFile> outputs;
    if (!chosen.tracePath.empty()) outputs.push_back({"--trace", chosen.tracePath, player::OutputKind::kRemade});
    if (chosen.shotsDir.empty()) return outputs;
    outputs.push_back({"--shots", chosen.shotsDir, player::OutputKind::kFolder});
    std::set<std::string> names;
    sim::ScriptPlace place;
    sim::Command command;
    while (sim::NextCommand(script, &place, &command)) {
        if (command.op == sim::Op::Shot) names.insert(command.name);
    }
    for (const std::string& name : names) {
        outputs.push_back({"shot", chosen.shotsDir + "/" + name + ".png", player::OutputKind::kRemade});
    }
    return outputs;
}

// Checks what the run will write and makes the shot folder and the trace's
// file; false after saying why on standard error.
bool MakeOutputs(const player::options::Options& chosen, const sim::Script& script, player::OutputFile* trace) {
    std::vector<player::NamedFile> inputs;
    if (chosen.scriptPath != "-" && !player::run_link::IsLink(chosen.scriptPath)) {
        inputs.push_back({"the script", chosen.scriptPath});
    }
    std::vector<player::NamedFile> outputs = Outputs(chosen, script);
    std::string why = player::CheckOutputs(&outputs, inputs);
    if (!why.empty()) {
        std::fprintf(stderr, "%s: %s\n", g_program, why.c_str());
        return false;
    }
    if (!chosen.tracePath.empty() &&
        !player::OpenOutput(outputs.front().path, player::OutputKind::kRemade, trace, &why)) {
        std::fprintf(stderr, "%s: --trace %s: %s\n", g_program, player::options::ShownPath(chosen.tracePath).c_str(),
                     why.c_str());
        return false;
    }
    std::error_code error;
    if (!chosen.shotsDir.empty() && (std::filesystem::create_directories(chosen.shotsDir, error), error)) {
        std::fprintf(stderr, "%s: --shots %s: cannot make it: %s\n", g_program,
                     player::options::ShownPath(chosen.shotsDir).c_str(), error.message().c_str());
        player::DropOutput(trace);
        return false;
    }
    return true;
}

// The trace in its place, whole; false after saying why on standard error.
bool FinishTrace(const player::options::Options& chosen, const sim::TraceWriter& writer, player::OutputFile* trace) {
    const std::string name = chosen.tracePath.empty() ? "standard output" : chosen.tracePath;
    if (writer.Error() != 0) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", g_program, player::options::ShownPath(name).c_str(),
                     std::strerror(writer.Error()));
        player::DropOutput(trace);
        return false;
    }
    std::string why;
    if (trace->stream == nullptr || player::PlaceOutput(trace, &why)) return true;
    std::fprintf(stderr, "%s: --trace %s: %s\n", g_program, player::options::ShownPath(chosen.tracePath).c_str(),
                 why.c_str());
    return false;
}

// A recording still in its part file is one its game did not finish
// writing (a run killed, a write that failed): it is played as far as it goes.
void TellCutShort(const std::string& path, const sim::Script& script) {
    const std::string header = player::record::HeaderLine() + "\n";
    const std::string_view part = ".part";
    const bool recording =
        script.text.size() >= header.size() && std::equal(header.begin(), header.end(), script.text.begin());
    if (!recording || path.size() < part.size() || path.compare(path.size() - part.size(), part.size(), part) != 0)
        return;
    std::fprintf(stderr,
                 "%s: %s: a recording cut short (its game did not finish writing it): played as far as it goes\n",
                 g_program, player::options::ShownPath(path).c_str());
}

// --link and --recording: the link of the recording SCRIPT, or the
// recording SCRIPT holds (a link's), on standard output.
int PrintRun(const player::options::Options& chosen) {
    sim::Script script;
    std::string why;
    bool done = sim::LoadScript(chosen.scriptPath, sim::ScriptKind::kRecording, &script, &why);
    std::string printed(script.text.begin(), script.text.end());
    if (done && chosen.printLink) {
        std::string link;
        done = player::run_link::MakeLink(printed, &link, &why);
        if (!done) why = player::options::ShownPath(chosen.scriptPath) + ": " + why;
        printed = link + '\n';
    }
    if (!done) {
        std::fprintf(stderr, "%s: %s\n", g_program, why.c_str());
        return kRunnerFailure;
    }
    // The recording's bytes as they are: Windows would end each line in \r\n.
    winapi::process::BinaryStandardOutput();
    if (std::fwrite(printed.data(), 1, printed.size(), stdout) == printed.size() && std::fflush(stdout) == 0) return 0;
    std::fprintf(stderr, "%s: cannot write to standard output: %s\n", g_program, std::strerror(errno));
    return kRunnerFailure;
}

}  // namespace

int core::ScriptMain(int argc, char** argv, const char* program) {
    g_program = program;
    winapi::process::KeepStandardStreams();
    player::options::Options chosen;
    const player::options::Outcome outcome =
        player::options::Parse(player::options::Program::kSim, argc, argv, &chosen);
    if (outcome != player::options::Outcome::kRun)
        return player::options::Answer(player::options::Program::kSim, outcome, stdout);
    if (chosen.printLink || chosen.printRecording) return PrintRun(chosen);
    std::string why;
    sim::Script script;
    const sim::ScriptKind kind = chosen.shotsDir.empty() ? sim::ScriptKind::kScript : sim::ScriptKind::kScriptWithShots;
    if (!sim::LoadScript(chosen.scriptPath, kind, &script, &why)) {
        std::fprintf(stderr, "%s: %s\n", g_program, why.c_str());
        return kRunnerFailure;
    }
    TellCutShort(chosen.scriptPath, script);
    // A trace file is written whatever the run shows: even one that shows no
    // frame says why in its events.
    player::OutputFile traceFile;
    if (!MakeOutputs(chosen, script, &traceFile)) return kRunnerFailure;
    std::FILE* out = traceFile.stream != nullptr ? traceFile.stream : stdout;
    static char traceBuffer[1 << 16];
    std::setvbuf(out, traceBuffer, _IOFBF, sizeof traceBuffer);
    sim::TraceWriter trace(out);

    if (!chosen.shotsDir.empty()) KeepEveryPicture();
    winapi::texts::UseLanguage(chosen.lang.value_or(script.language.value_or(winapi::texts::Language::kJapanese)));
    winapi::UseTextOutline(chosen.outline);
    sim::RunOptions run;
    run.program = program;
    run.scripted = true;
    run.script = std::move(script);
    run.trace = &trace;
    run.draws = chosen.draws;
    // The first write that fails ends the run, as it would end cat: a full
    // disk or a reader gone takes no more frames.
    run.writeFailed = [] { winapi::inputs::Queue(winapi::host::Event{winapi::host::EventKind::Close, 0}); };
    run.shoot = [&chosen](const std::string& name, std::string* shotWhy) {
        const std::string path = chosen.shotsDir + "/" + name + ".png";
        if (WritePng(path, LastShown(), shotWhy)) return true;
        *shotWhy = "cannot write " + path + ": " + *shotWhy;
        return false;
    };
    // SIGTERM, SIGINT and SIGHUP end the run between frames, its trace put in
    // place whole, then the process as the signal would.
    winapi::process::CatchStopSignals();
    sim::StartRun(std::move(run));
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
    bool finished = sim::FinishRun(code);
    finished = FinishTrace(chosen, trace, &traceFile) && finished;
    return winapi::process::FinalStatus(finished ? code : kRunnerFailure);
}
