// kawauo-sim: the game on the headless host, driven by a script, writing a
// trace of every frame.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/headless.h"
#include "platform/language.h"
#include "platform/options.h"
#include "platform/platform_internal.h"
#include "platform/png_write.h"
#include "platform/process.h"
#include "platform/win.h"
#include "tools/sim/runner.h"
#include "tools/sim/script.h"
#include "tools/sim/trace.h"

namespace {

constexpr int kRunnerFailure = 2;  // the game exits with 0, or 1 when it cannot start

const char kUsage[] =
    "usage: kawauo-sim [--trace FILE] [--draws] [--shots DIR] [--lang ja|en] [--outline] SCRIPT\n"
    "Runs the game headless in the current directory (it reads ./bmp), driven by\n"
    "SCRIPT ('-' for standard input), and writes a JSON Lines trace of every\n"
    "frame to FILE (default: standard output). A recording made by\n"
    "kawauo --record is such a script, and replays the run frame for frame.\n"
    "--lang and --outline are the game's own: the texts' language and edge.\n";

struct Options {
    std::string tracePath;  // empty: standard output
    bool draws = false;
    std::string shotsDir;  // empty: no shots
    std::string scriptPath;
    texts::Language lang = texts::Language::kJapanese;
    bool outline = false;
};

// False (after saying why) when the arguments are not a valid command line.
bool ParseOptions(int argc, char** argv, Options* options, bool* help) {
    bool haveScript = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            *help = true;
            return true;
        }
        if (arg == "--trace" || arg == "--shots") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "kawauo-sim: %s needs a value\n", arg.c_str());
                return false;
            }
            (arg == "--trace" ? options->tracePath : options->shotsDir) = argv[++i];
        } else if (arg == "--draws") {
            options->draws = true;
        } else if (arg == "--outline") {
            options->outline = true;
        } else if (arg == "--lang") {
            std::optional<texts::Language> lang;
            if (i + 1 < argc) lang = options::LanguageNamed(argv[++i]);
            if (!lang) {
                std::fprintf(stderr, "kawauo-sim: --lang needs ja or en\n");
                return false;
            }
            options->lang = *lang;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "kawauo-sim: unknown option %s\n", arg.c_str());
            return false;
        } else if (haveScript) {
            std::fprintf(stderr, "kawauo-sim: more than one script given\n");
            return false;
        } else {
            options->scriptPath = arg;
            haveScript = true;
        }
    }
    if (!haveScript) std::fprintf(stderr, "kawauo-sim: no script given\n");
    return haveScript;
}

bool ReadScript(const std::string& path, std::string* text) {
    std::ostringstream buffer;
    if (path == "-") {
        buffer << std::cin.rdbuf();
        *text = buffer.str();
        return !std::cin.bad();
    }
    std::vector<uint8_t> bytes;
    platform::FileProblem problem;
    if (!platform::ReadWholeFile(path, &bytes, &problem)) return false;
    text->assign(bytes.begin(), bytes.end());
    return true;
}

// The frame last shown, as an 8-bit palette PNG at `path`.
bool WritePng(const std::string& path, const headless::Frame& frame, std::string* why) {
    if (frame.pixels.size() != static_cast<size_t>(kScreenWidth) * kScreenHeight) {
        *why = "no frame has been shown yet";
        return false;
    }
    return platform::WritePalettePng(path, frame.pixels.data(), kScreenWidth, kScreenHeight,
                                     frame.palette, why);
}

}  // namespace

int main(int argc, char** argv) {
    process::KeepStandardStreams();
    Options options;
    bool help = false;
    if (!ParseOptions(argc, argv, &options, &help)) {
        std::fputs(kUsage, stderr);
        return kRunnerFailure;
    }
    if (help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::string text;
    if (!ReadScript(options.scriptPath, &text)) {
        std::fprintf(stderr, "kawauo-sim: cannot read %s\n", options.scriptPath.c_str());
        return kRunnerFailure;
    }
    sim::ScriptError error;
    std::vector<sim::Command> commands;
    if (!sim::ParseScript(text, !options.shotsDir.empty(), &commands, &error)) {
        std::fprintf(stderr, "kawauo-sim: %s:%d: %s\n", options.scriptPath.c_str(), error.line,
                     error.message.c_str());
        return kRunnerFailure;
    }
    if (!options.shotsDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options.shotsDir, ec);
        if (ec) {
            std::fprintf(stderr, "kawauo-sim: cannot make %s: %s\n", options.shotsDir.c_str(),
                         ec.message().c_str());
            return kRunnerFailure;
        }
    }
    std::FILE* out = stdout;
    if (!options.tracePath.empty()) {
        out = std::fopen(options.tracePath.c_str(), "wb");
        if (!out) {
            std::fprintf(stderr, "kawauo-sim: cannot write %s: %s\n", options.tracePath.c_str(),
                         std::strerror(errno));
            return kRunnerFailure;
        }
    }
    static char traceBuffer[1 << 16];
    std::setvbuf(out, traceBuffer, _IOFBF, sizeof traceBuffer);
    sim::TraceWriter trace(out);

    headless::Reset();
    texts::UseLanguage(options.lang);
    platform::UseTextOutline(options.outline);
    sim::RunOptions run;
    run.program = "kawauo-sim";
    run.scripted = true;
    run.commands = std::move(commands);
    run.trace = &trace;
    run.draws = options.draws;
    run.shoot = [&options](const std::string& name, std::string* why) {
        return WritePng(options.shotsDir + "/" + name + ".png", headless::LastFrame(), why);
    };
    sim::StartRun(std::move(run));
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
    bool finished = sim::FinishRun(code);
    if (out != stdout && std::fclose(out) != 0) {
        std::fprintf(stderr, "kawauo-sim: writing the trace failed\n");
        finished = false;
    }
    return finished ? code : kRunnerFailure;
}
