// The real game's record, play and trace: the platform's recorder, and the
// sim's runner and trace writer over the players' host.
#include "tools/sim/session.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/record.h"
#include "tools/sim/runner.h"

namespace sim {
namespace {

struct Open {
    std::FILE* traceFile = nullptr;
    std::unique_ptr<TraceWriter> trace;
    bool recording = false;
};

Open g_open;

bool ReadFile(const std::string& path, std::string* text, std::string* why) {
    std::vector<uint8_t> bytes;
    platform::FileProblem problem;
    if (!platform::ReadWholeFile(path, &bytes, &problem)) {
        *why = "cannot read " + path + ": " + platform::ProblemText(problem);
        return false;
    }
    text->assign(bytes.begin(), bytes.end());
    return true;
}

// The recording to show, checked whole before anything is shown.
bool LoadRecording(const std::string& path, std::vector<Command>* commands, std::string* why) {
    std::string text;
    if (!ReadFile(path, &text, why)) return false;
    ScriptError error;
    if (!ParseScript(text, false, commands, &error)) {
        *why = path + ":" + std::to_string(error.line) + ": " + error.message;
        return false;
    }
    return true;
}

}  // namespace

bool BeginSession(const Session& session, std::string* why) {
    RunOptions run;
    if (!session.playPath.empty()) {
        if (!LoadRecording(session.playPath, &run.commands, why)) return false;
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
