// kawauo-sim: the game on the headless host, driven by a script, writing a
// trace of every frame.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/png_write.h"
#include "platform/win.h"
#include "tools/sim/script.h"
#include "tools/sim/trace.h"

namespace {

constexpr int kRunnerFailure = 2;  // the game exits with 0, or 1 when it cannot start

const char kUsage[] =
    "usage: kawauo-sim [--trace FILE] [--draws] [--shots DIR] SCRIPT\n"
    "Runs the game headless in the current directory (it reads ./bmp), driven by\n"
    "SCRIPT ('-' for standard input), and writes a JSON Lines trace of every\n"
    "frame to FILE (default: standard output).\n";

struct Options {
    std::string tracePath;  // empty: standard output
    bool draws = false;
    std::string shotsDir;   // empty: no shots
    std::string scriptPath;
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
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    buffer << in.rdbuf();
    *text = buffer.str();
    return !in.bad();
}

// The frame last shown, as an 8-bit palette PNG.
bool WritePng(const std::string& path, const headless::Frame& frame, std::string* why) {
    if (frame.pixels.size() != static_cast<size_t>(kScreenWidth) * kScreenHeight) {
        *why = "no frame has been shown yet";
        return false;
    }
    return platform::WritePalettePng(path, frame.pixels.data(), kScreenWidth, kScreenHeight, frame.palette, why);
}

// The run: the script's commands between frames, and the trace.
struct Runner {
    std::vector<sim::Command> commands;
    size_t next = 0;           // next command to run
    int framesLeft = 0;        // of the `frames` command being run
    bool scriptEnded = false;
    uint32_t step = 16;        // ms the clock advances after each frame
    int frameNumber = 0;
    bool draws = false;
    std::string shotsDir;
    sim::TraceWriter* trace = nullptr;
    size_t boxesSeen = 0;
    size_t debugLinesSeen = 0;
    bool failed = false;       // a shot could not be written
};

Runner g_runner;  // the host's frame callback is a plain function of it

void Execute(const sim::Command& c) {
    switch (c.op) {
    case sim::Op::Seed:
        headless::SetCalendarSeconds(c.number);
        break;
    case sim::Op::Tick:
        headless::SetMilliseconds(static_cast<uint32_t>(c.number));
        break;
    case sim::Op::Step:
        g_runner.step = static_cast<uint32_t>(c.number);
        break;
    case sim::Op::Down:
        headless::KeyDown(static_cast<int>(c.number));
        break;
    case sim::Op::Up:
        headless::KeyUp(static_cast<int>(c.number));
        break;
    case sim::Op::Activate:
        headless::Activate(c.number != 0);
        break;
    case sim::Op::Lose:
        headless::LoseSurfaces();
        break;
    case sim::Op::Close:
        headless::Close();
        break;
    case sim::Op::Shot: {
        std::string path = g_runner.shotsDir + "/" + c.name + ".png";
        std::string why;
        if (!WritePng(path, headless::LastFrame(), &why)) {
            std::fprintf(stderr, "kawauo-sim: line %d: shot %s: %s\n", c.line, path.c_str(),
                         why.c_str());
            g_runner.failed = true;
        }
        break;
    }
    case sim::Op::Fail:
        headless::FailNext(c.name, static_cast<HRESULT>(static_cast<uint32_t>(c.number)));
        break;
    case sim::Op::Frames:
        break;  // handled by RunCommands
    }
}

// Runs commands up to the next `frames`; at the end of the script, asks the
// program to close.
void RunCommands() {
    while (g_runner.next < g_runner.commands.size()) {
        const sim::Command& c = g_runner.commands[g_runner.next++];
        if (c.op == sim::Op::Frames) {
            g_runner.framesLeft = static_cast<int>(c.number);
            return;
        }
        Execute(c);
    }
    if (!g_runner.scriptEnded) {
        g_runner.scriptEnded = true;
        headless::Close();
    }
}

// Message boxes and debug lines recorded since the last look, in the order
// they happened. The host keeps them in two lists; a DirectDraw error report
// writes its debug line and then shows the same text in a box, so each debug
// line goes just before the box that repeats it, and boxes before that one
// (load failures report with a box alone) go first.
void WriteNewEvents() {
    const auto& boxes = headless::MessageBoxes();
    const auto& lines = headless::DebugLines();
    size_t box = g_runner.boxesSeen;
    for (size_t i = g_runner.debugLinesSeen; i < lines.size(); ++i) {
        size_t match = box;
        while (match < boxes.size() && boxes[match].text != lines[i]) ++match;
        if (match < boxes.size()) {
            for (; box < match; ++box) g_runner.trace->MessageBox(boxes[box].caption, boxes[box].text);
        }
        g_runner.trace->Debug(lines[i]);
        if (match < boxes.size()) {
            g_runner.trace->MessageBox(boxes[match].caption, boxes[match].text);
            box = match + 1;
        }
    }
    for (; box < boxes.size(); ++box) g_runner.trace->MessageBox(boxes[box].caption, boxes[box].text);
    g_runner.boxesSeen = boxes.size();
    g_runner.debugLinesSeen = lines.size();
}

// Called by the host at the end of every frame.
void OnFrame(HRESULT) {
    WriteNewEvents();
    ++g_runner.frameNumber;
    if (g_runner.draws) {
        std::vector<headless::DrawNote> draws = headless::TakeDraws();
        g_runner.trace->Frame(g_runner.frameNumber, &draws);
    } else {
        g_runner.trace->Frame(g_runner.frameNumber, nullptr);
    }
    headless::SetMilliseconds(headless::Milliseconds() + g_runner.step);
    if (--g_runner.framesLeft <= 0) RunCommands();
}

}  // namespace

int main(int argc, char** argv) {
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
    if (!sim::ParseScript(text, !options.shotsDir.empty(), &g_runner.commands, &error)) {
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

    g_runner.draws = options.draws;
    g_runner.shotsDir = options.shotsDir;
    g_runner.trace = &trace;
    headless::Reset();
    headless::RecordDraws(options.draws);
    headless::OnFrame(OnFrame);
    RunCommands();
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);
    WriteNewEvents();
    trace.Exit(code);
    bool written = trace.Flush();
    if (out != stdout) written = std::fclose(out) == 0 && written;
    if (!written) {
        std::fprintf(stderr, "kawauo-sim: writing the trace failed\n");
        return kRunnerFailure;
    }
    return g_runner.failed ? kRunnerFailure : code;
}
