// kawauo-sim: the game on the headless host, driven by a script, writing a
// trace of every frame.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

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
    switch (options::Parse(options::Program::kSim, argc, argv, &chosen)) {
        case options::Outcome::kHelp: options::PrintUsage(options::Program::kSim, stdout); return 0;
        case options::Outcome::kBad: options::PrintUsage(options::Program::kSim, stderr); return kRunnerFailure;
        default: break;
    }
    std::string why;
    sim::Script script;
    const sim::ScriptKind kind = chosen.shotsDir.empty() ? sim::ScriptKind::kScript : sim::ScriptKind::kScriptWithShots;
    if (!sim::LoadScript(chosen.scriptPath, kind, &script, &why)) {
        std::fprintf(stderr, "kawauo-sim: %s\n", why.c_str());
        return kRunnerFailure;
    }
    if (!chosen.shotsDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(chosen.shotsDir, ec);
        if (ec) {
            std::fprintf(stderr, "kawauo-sim: cannot make %s: %s\n", chosen.shotsDir.c_str(), ec.message().c_str());
            return kRunnerFailure;
        }
    }
    std::FILE* out = stdout;
    if (!chosen.tracePath.empty()) {
        out = std::fopen(chosen.tracePath.c_str(), "wb");
        if (!out) {
            std::fprintf(stderr, "kawauo-sim: cannot write %s: %s\n", chosen.tracePath.c_str(), std::strerror(errno));
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
    if (out != stdout && std::fclose(out) != 0 && trace.Error() == 0) {
        std::fprintf(stderr, "kawauo-sim: cannot write %s: %s\n", chosen.tracePath.c_str(), std::strerror(errno));
        finished = false;
    }
    if (trace.Error() != 0) {
        const std::string name = out == stdout ? "standard output" : chosen.tracePath;
        std::fprintf(stderr, "kawauo-sim: cannot write %s: %s\n", name.c_str(), std::strerror(trace.Error()));
    }
    return finished ? code : kRunnerFailure;
}
