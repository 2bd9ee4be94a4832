// The script's commands between frames, and the trace of every frame.
#include "sim/runner.h"

#include <cstdio>
#include <utility>

#include "winapi/fault.h"
#include "winapi/frame_log.h"
#include "winapi/inputs.h"
#include "winapi/process.h"
#include "winapi/surface_access.h"

namespace sim {
namespace {

struct Run {
    RunOptions options;
    ScriptPlace place;   // of the next command to run
    Command command;     // the command being run
    int framesLeft = 0;  // of the `frames` command being run
    bool scriptEnded = false;
    uint32_t step = 16;  // ms the clock advances after each frame
    int frameNumber = 0;
    bool failed = false;       // a shot could not be written
    bool failureTold = false;  // writeFailed was called
    bool stopAsked = false;    // a stop signal came, and the game was asked to close
};

Run g_run;  // the platform's frame listener is a plain function of it

void Queue(winapi::host::EventKind kind, int virtualKey) {
    winapi::inputs::Queue(winapi::host::Event{kind, virtualKey});
}

void Execute(const Command& c) {
    const bool show = g_run.options.show;
    switch (c.op) {
    case Op::Seed:
        winapi::inputs::SetCalendar(c.number);
        break;
    case Op::Tick:
        winapi::inputs::SetClock(static_cast<uint32_t>(c.number));
        break;
    case Op::Step:
        g_run.step = static_cast<uint32_t>(c.number);
        break;
    case Op::Down:
        // A show ends when the viewer says so, not where the player left.
        if (!(show && c.number == VK_ESCAPE))
            Queue(winapi::host::EventKind::KeyDown, static_cast<int>(c.number));
        break;
    case Op::Up:
        Queue(winapi::host::EventKind::KeyUp, static_cast<int>(c.number));
        break;
    case Op::Activate:
        Queue(
            c.number != 0 ? winapi::host::EventKind::Activate : winapi::host::EventKind::Deactivate,
            0);
        break;
    case Op::Lose:
        winapi::LoseAllSurfaces();
        break;
    case Op::Close:
        if (!show) Queue(winapi::host::EventKind::Close, 0);
        break;
    case Op::Shot: {
        std::string why;
        if (!g_run.options.shoot || !g_run.options.shoot(c.name, &why)) {
            std::fprintf(stderr, "%s: line %d: shot %s: %s\n", g_run.options.program, c.line,
                         c.name.c_str(), why.c_str());
            g_run.failed = true;
        }
        break;
    }
    case Op::Fail:
        if (winapi::FaultPoint point; winapi::FindFaultPoint(c.name, &point)) {
            winapi::SetFault(point, static_cast<HRESULT>(static_cast<uint32_t>(c.number)));
        }
        break;
    case Op::Lang:
        break;  // the texts' language is given to the game before it starts
    case Op::Frames:
    case Op::Frame:
        break;  // handled by RunCommands
    }
}

// Runs commands up to the next frame; at the end of the script, asks the
// program to close (or, in a show, holds).
void RunCommands() {
    Command& c = g_run.command;
    while (NextCommand(g_run.options.script, &g_run.place, &c)) {
        if (c.op == Op::Frames) {
            g_run.framesLeft = static_cast<int>(c.number);
            return;
        }
        if (c.op == Op::Frame) {
            winapi::inputs::SetReads(c.reads);
            g_run.framesLeft = 1;
            return;
        }
        Execute(c);
    }
    if (!g_run.scriptEnded) {
        g_run.scriptEnded = true;
        if (!g_run.options.show) Queue(winapi::host::EventKind::Close, 0);
    }
}

void WriteReports() {
    for (const winapi::ReportNote& report : winapi::TakeReports()) {
        if (report.kind == winapi::ReportNote::kMessageBox) {
            g_run.options.trace->MessageBox(report.caption, report.text);
        } else {
            g_run.options.trace->Debug(report.text);
        }
    }
}

void FrameEnded() {
    ++g_run.frameNumber;
    if (TraceWriter* trace = g_run.options.trace) {
        WriteReports();
        if (g_run.options.draws) {
            std::vector<winapi::DrawNote> draws = winapi::TakeDraws();
            trace->Frame(g_run.frameNumber, &draws);
        } else {
            trace->Frame(g_run.frameNumber, nullptr);
        }
    }
    const bool traceFailed = g_run.options.trace != nullptr && g_run.options.trace->Error() != 0;
    if ((traceFailed || g_run.failed) && !g_run.failureTold && g_run.options.writeFailed) {
        g_run.failureTold = true;
        g_run.options.writeFailed();
    }
    if (!g_run.options.scripted || (g_run.scriptEnded && g_run.options.show)) return;
    // A stop signal ends a scripted run as the end of its script does, so
    // that what it writes is finished whole.
    if (winapi::process::StopSignal() != 0 && !g_run.stopAsked) {
        g_run.stopAsked = true;
        Queue(winapi::host::EventKind::Close, 0);
    }
    winapi::inputs::SetClock(winapi::inputs::Clock() + g_run.step);
    if (--g_run.framesLeft <= 0) RunCommands();
}

}  // namespace

void StartRun(RunOptions options) {
    g_run = Run{};
    g_run.options = std::move(options);
    winapi::RecordDraws(g_run.options.trace != nullptr && g_run.options.draws);
    winapi::RecordReports(g_run.options.trace != nullptr);
    winapi::OnFrameEnd(FrameEnded);
    if (!g_run.options.scripted) return;
    winapi::inputs::Play();
    RunCommands();
}

bool FinishRun(int exitCode) {
    winapi::OnFrameEnd(nullptr);
    TraceWriter* trace = g_run.options.trace;
    bool finished = !g_run.failed;
    if (trace != nullptr) {
        WriteReports();
        trace->Exit(exitCode);
        finished = trace->Flush() && finished;
    }
    // Over: a later finish (of a session that started no run) finds nothing of it.
    g_run = Run{};
    return finished;
}

}  // namespace sim
