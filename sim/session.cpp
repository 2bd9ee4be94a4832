// The real game's record, play and trace: the platform's recorder, and the
// sim's runner and trace writer over the players' host.
#include "sim/session.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "hosts/shared/record.h"
#include "sim/runner.h"

namespace sim {
namespace {

struct Open {
    std::FILE* traceFile = nullptr;
    std::unique_ptr<TraceWriter> trace;
    bool recording = false;
};

Open g_open;

}  // namespace

bool BeginSession(const Session& session, std::string* why) {
    RunOptions run;
    if (!session.playPath.empty()) {
        if (!LoadScript(session.playPath, ScriptKind::kRecording, &run.script, why)) return false;
        run.scripted = true;
        run.show = true;
    }
    if (!session.tracePath.empty()) {
        g_open.traceFile = std::fopen(session.tracePath.c_str(), "wb");
        if (g_open.traceFile == nullptr) {
            *why = "cannot write " + session.tracePath + ": " + std::strerror(errno);
            return false;
        }
        g_open.trace = std::make_unique<TraceWriter>(g_open.traceFile);
        run.trace = g_open.trace.get();
        run.draws = true;
    }
    if (!session.recordPath.empty()) {
        if (!record::Start(session.recordPath, why)) return false;
        g_open.recording = true;
    }
    if (run.scripted || run.trace != nullptr) StartRun(std::move(run));
    return true;
}

bool EndSession(int exitCode, std::string* why) {
    bool ok = FinishRun(exitCode);
    if (!ok) *why = "the trace was not written whole";
    if (g_open.traceFile != nullptr && std::fclose(g_open.traceFile) != 0 && ok) {
        *why = "writing the trace failed";
        ok = false;
    }
    g_open.trace.reset();
    g_open.traceFile = nullptr;
    std::string recordWhy;
    if (g_open.recording && !record::Finish(&recordWhy)) {
        *why = recordWhy;
        ok = false;
    }
    g_open.recording = false;
    return ok;
}

}  // namespace sim
