// kawauo-sim: the game on the headless host, driven by a script, writing a
// trace of every frame.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "hosts/headless/headless.h"
#include "hosts/shared/options.h"
#include "hosts/shared/png_write.h"
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

}  // namespace

int main(int argc, char** argv) {
    process::KeepStandardStreams();
    options::Options chosen;
    const options::Outcome outcome = options::Parse(options::Program::kSim, argc, argv, &chosen);
    if (outcome != options::Outcome::kRun) return options::Answer(options::Program::kSim, outcome, stdout);
    std::string why;
    std::vector<sim::Command> commands;
    if (!sim::LoadScript(chosen.scriptPath, !chosen.shotsDir.empty(), &commands, &why)) {
        std::fprintf(stderr, "kawauo-sim: %s\n", why.c_str());
        return kRunnerFailure;
    }
    if (!chosen.shotsDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(chosen.shotsDir, ec);
        if (ec) {
            std::fprintf(stderr, "kawauo-sim: cannot make %s: %s\n",
                         options::Shown(chosen.shotsDir, options::kShownPathBytes).c_str(), ec.message().c_str());
            return kRunnerFailure;
        }
    }
    std::FILE* out = stdout;
    if (!chosen.tracePath.empty()) {
        out = std::fopen(chosen.tracePath.c_str(), "wb");
        if (!out) {
            std::fprintf(stderr, "kawauo-sim: cannot write %s: %s\n",
                         options::Shown(chosen.tracePath, options::kShownPathBytes).c_str(), std::strerror(errno));
            return kRunnerFailure;
        }
    }
    static char traceBuffer[1 << 16];
    std::setvbuf(out, traceBuffer, _IOFBF, sizeof traceBuffer);
    sim::TraceWriter trace(out);

    headless::Reset();
    texts::UseLanguage(chosen.lang.value_or(texts::Language::kJapanese));
    platform::UseTextOutline(chosen.outline);
    sim::RunOptions run;
    run.program = "kawauo-sim";
    run.scripted = true;
    run.commands = std::move(commands);
    run.trace = &trace;
    run.draws = chosen.draws;
    run.shoot = [&chosen](const std::string& name, std::string* shotWhy) {
        return WritePng(chosen.shotsDir + "/" + name + ".png", headless::LastFrame(), shotWhy);
    };
    sim::StartRun(std::move(run));
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
    bool finished = sim::FinishRun(code);
    // A failure FinishRun has already told is not told twice.
    if (out != stdout && std::fclose(out) != 0 && finished) {
        std::fprintf(stderr, "kawauo-sim: writing the trace failed: %s\n", std::strerror(errno));
        finished = false;
    }
    return finished ? code : kRunnerFailure;
}
