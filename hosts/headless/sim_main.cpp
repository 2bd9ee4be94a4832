// kawauo-sim: the game on the headless host, driven by a script, writing a
// trace of every frame; or, asked, a recording's link and a link's recording.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "hosts/headless/headless.h"
#include "hosts/shared/options.h"
#include "hosts/shared/output_file.h"
#include "hosts/shared/png_write.h"
#include "hosts/shared/run_link.h"
#include "sim/runner.h"
#include "sim/script.h"
#include "sim/trace.h"
#include "winapi/language.h"
#include "winapi/process.h"
#include "winapi/text.h"
#include "winapi/win.h"

namespace {

constexpr int kRunnerFailure = 2;  // the game exits with 0, or 1 when it cannot start

// The frame last shown, as an 8-bit palette PNG at `path`.
bool WritePng(const std::string& path, const headless::Frame& frame, std::string* why) {
    if (frame.pixels.size() != static_cast<size_t>(kScreenWidth) * kScreenHeight) {
        *why = "no frame has been shown yet";
        return false;
    }
    return platform::WritePalettePng(path, frame.pixels.data(), kScreenWidth, kScreenHeight, frame.palette, why);
}

// The files the run writes: the trace, the shot folder and each shot in it.
std::vector<platform::NamedFile> Outputs(const options::Options& chosen, const sim::Script& script) {
    std::vector<platform::NamedFile> outputs;
    if (!chosen.tracePath.empty()) outputs.push_back({"--trace", chosen.tracePath, platform::OutputKind::kRemade});
    if (chosen.shotsDir.empty()) return outputs;
    outputs.push_back({"--shots", chosen.shotsDir, platform::OutputKind::kFolder});
    std::set<std::string> names;
    sim::ScriptPlace place;
    sim::Command command;
    while (sim::NextCommand(script, &place, &command)) {
        if (command.op == sim::Op::Shot) names.insert(command.name);
    }
    for (const std::string& name : names) {
        outputs.push_back({"shot", chosen.shotsDir + "/" + name + ".png", platform::OutputKind::kRemade});
    }
    return outputs;
}

// Checks what the run will write and makes the shot folder and the trace's
// file; false after saying why on standard error.
bool MakeOutputs(const options::Options& chosen, const sim::Script& script, platform::OutputFile* trace) {
    std::vector<platform::NamedFile> inputs;
    if (chosen.scriptPath != "-" && !run_link::IsLink(chosen.scriptPath)) {
        inputs.push_back({"the script", chosen.scriptPath});
    }
    std::vector<platform::NamedFile> outputs = Outputs(chosen, script);
    std::string why = platform::CheckOutputs(&outputs, inputs);
    if (!why.empty()) {
        std::fprintf(stderr, "kawauo-sim: %s\n", why.c_str());
        return false;
    }
    if (!chosen.tracePath.empty() &&
        !platform::OpenOutput(outputs.front().path, platform::OutputKind::kRemade, trace, &why)) {
        std::fprintf(stderr, "kawauo-sim: --trace %s: %s\n", options::ShownPath(chosen.tracePath).c_str(), why.c_str());
        return false;
    }
    std::error_code error;
    if (!chosen.shotsDir.empty() && (std::filesystem::create_directories(chosen.shotsDir, error), error)) {
        std::fprintf(stderr, "kawauo-sim: --shots %s: cannot make it: %s\n",
                     options::ShownPath(chosen.shotsDir).c_str(), error.message().c_str());
        platform::DropOutput(trace);
        return false;
    }
    return true;
}

// The trace in its place, whole; false after saying why on standard error.
bool FinishTrace(const options::Options& chosen, const sim::TraceWriter& writer, platform::OutputFile* trace) {
    const std::string name = chosen.tracePath.empty() ? "standard output" : chosen.tracePath;
    if (writer.Error() != 0) {
        std::fprintf(stderr, "kawauo-sim: cannot write %s: %s\n", options::ShownPath(name).c_str(),
                     std::strerror(writer.Error()));
        platform::DropOutput(trace);
        return false;
    }
    std::string why;
    if (trace->stream == nullptr || platform::PlaceOutput(trace, &why)) return true;
    std::fprintf(stderr, "kawauo-sim: --trace %s: %s\n", options::ShownPath(chosen.tracePath).c_str(), why.c_str());
    return false;
}

// --link and --recording: the link of the recording SCRIPT, or the
// recording SCRIPT holds (a link's), on standard output.
int PrintRun(const options::Options& chosen) {
    sim::Script script;
    std::string why;
    std::string printed;
    bool done = sim::LoadScript(chosen.scriptPath, sim::ScriptKind::kRecording, &script, &why);
    if (done) printed.assign(script.text.begin(), script.text.end());
    if (done && chosen.printLink) {
        done = run_link::MakeLink(printed, &printed, &why);
        if (!done) why = options::ShownPath(chosen.scriptPath) + ": " + why;
        printed += '\n';
    }
    if (!done) {
        std::fprintf(stderr, "kawauo-sim: %s\n", why.c_str());
        return kRunnerFailure;
    }
    if (std::fwrite(printed.data(), 1, printed.size(), stdout) == printed.size() && std::fflush(stdout) == 0) return 0;
    std::fprintf(stderr, "kawauo-sim: cannot write to standard output: %s\n", std::strerror(errno));
    return kRunnerFailure;
}

}  // namespace

int main(int argc, char** argv) {
    process::KeepStandardStreams();
    options::Options chosen;
    const options::Outcome outcome = options::Parse(options::Program::kSim, argc, argv, &chosen);
    if (outcome != options::Outcome::kRun) return options::Answer(options::Program::kSim, outcome, stdout);
    if (chosen.printLink || chosen.printRecording) return PrintRun(chosen);
    std::string why;
    sim::Script script;
    const sim::ScriptKind kind = chosen.shotsDir.empty() ? sim::ScriptKind::kScript : sim::ScriptKind::kScriptWithShots;
    if (!sim::LoadScript(chosen.scriptPath, kind, &script, &why)) {
        std::fprintf(stderr, "kawauo-sim: %s\n", why.c_str());
        return kRunnerFailure;
    }
    // A trace file is written whatever the run shows: even one that shows no
    // frame says why in its events.
    platform::OutputFile traceFile;
    if (!MakeOutputs(chosen, script, &traceFile)) return kRunnerFailure;
    std::FILE* out = traceFile.stream != nullptr ? traceFile.stream : stdout;
    static char traceBuffer[1 << 16];
    std::setvbuf(out, traceBuffer, _IOFBF, sizeof traceBuffer);
    sim::TraceWriter trace(out);

    headless::Reset();
    texts::UseLanguage(chosen.lang.value_or(script.language.value_or(texts::Language::kJapanese)));
    platform::UseTextOutline(chosen.outline);
    sim::RunOptions run;
    run.program = "kawauo-sim";
    run.scripted = true;
    run.script = std::move(script);
    run.trace = &trace;
    run.draws = chosen.draws;
    run.shoot = [&chosen](const std::string& name, std::string* shotWhy) {
        const std::string path = chosen.shotsDir + "/" + name + ".png";
        if (WritePng(path, headless::LastFrame(), shotWhy)) return true;
        *shotWhy = "cannot write " + path + ": " + *shotWhy;
        return false;
    };
    sim::StartRun(std::move(run));
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
    bool finished = sim::FinishRun(code);
    finished = FinishTrace(chosen, trace, &traceFile) && finished;
    return finished ? code : kRunnerFailure;
}
