// The real game's record, play and trace: the platform's recorder, and the
// sim's runner and trace writer over the players' host, their files checked
// and made by the shared output files.
#include "hosts/core/session.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "hosts/core/picture_folder.h"
#include "player/options.h"
#include "player/output_file.h"
#include "player/record.h"
#include "player/run_link.h"
#include "sim/runner.h"
#include "winapi/texts.h"
#include "winapi/told.h"
#include "winapi/win.h"

namespace core {
namespace {

struct Open {
    std::string tracePath;         // as the player named it
    player::OutputFile trace;      // made beside its place; its stream null when in place
    std::FILE* inPlace = nullptr;  // the page's trace file
    std::unique_ptr<sim::TraceWriter> writer;
    std::string recordPath;  // as the player named it; empty: no recording
};

Open g_open;

// Whatever was made goes: a session refused leaves nothing.
void Abandon() {
    player::record::Reset();
    player::DropOutput(&g_open.trace);
    if (g_open.inPlace != nullptr) std::fclose(g_open.inPlace);
    g_open = Open{};
}

// Makes the files of `outputs` (checked, their paths absolute), or says which could not be.
bool MakeOutputs(const Session& session, const std::vector<player::NamedFile>& outputs, std::string* why) {
    for (const player::NamedFile& output : outputs) {
        std::string problem;
        const bool record = output.kind == player::OutputKind::kKept;
        const bool made = record ? player::record::Start(output.path, &problem)
                                 : player::OpenOutput(output.path, output.kind, &g_open.trace, &problem);
        if (record && made) g_open.recordPath = session.recordPath;
        if (!made) {
            *why = output.option + " " + player::options::ShownPath(record ? session.recordPath : session.tracePath) +
                   ": " + problem;
            return false;
        }
    }
    if (session.traceInPlace && !session.tracePath.empty()) {
        g_open.inPlace = std::fopen(session.tracePath.c_str(), "wb");
        if (g_open.inPlace == nullptr) {
            *why = "--trace " + player::options::ShownPath(session.tracePath) +
                   ": cannot write it: " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

// The trace in its place, whole, when a frame was shown; "" or why not.
std::string FinishTrace(bool written) {
    if (g_open.inPlace != nullptr) {
        const bool closed = std::fclose(g_open.inPlace) == 0;
        return written && closed ? ""
                                 : "--trace " + player::options::ShownPath(g_open.tracePath) + ": not written whole";
    }
    if (g_open.writer == nullptr) return "";
    const std::string named = "--trace " + player::options::ShownPath(g_open.tracePath) + ": ";
    if (g_open.writer->Frames() == 0) {
        player::DropOutput(&g_open.trace);
        return "";
    }
    if (!written) {
        player::DropOutput(&g_open.trace);
        return named + "cannot write it whole (" + std::strerror(g_open.writer->Error()) + "): " + g_open.trace.path +
               " is left as it was";
    }
    std::string problem;
    return player::PlaceOutput(&g_open.trace, &problem) ? "" : named + problem;
}

}  // namespace

bool BeginSession(const Session& session, std::string* why) {
    g_open = Open{};
    player::record::Reset();  // nothing of a run before: a show has no run of the player's
    g_open.tracePath = session.tracePath;
    sim::RunOptions run;
    std::vector<player::NamedFile> inputs;
    if (!session.playPath.empty()) {
        if (!sim::LoadScript(session.playPath, sim::ScriptKind::kRecording, &run.script, why)) return false;
        run.scripted = true;
        run.show = true;
        if (!player::run_link::IsLink(session.playPath)) inputs.push_back({"--play", session.playPath});
        if (run.script.language && !session.languageChosen) winapi::texts::UseLanguage(*run.script.language);
    }
    std::vector<player::NamedFile> outputs;
    if (!session.recordPath.empty()) {
        outputs.push_back({"--record", session.recordPath, player::OutputKind::kKept});
    }
    if (!session.tracePath.empty() && !session.traceInPlace) {
        outputs.push_back({"--trace", session.tracePath, player::OutputKind::kRemade});
    }
    *why = player::CheckOutputs(&outputs, inputs);
    if (!why->empty() || !MakeOutputs(session, outputs, why)) {
        Abandon();
        return false;
    }
    // A player's run is kept in memory all the same, for its link (Ctrl+C, the page's share).
    if (session.recordPath.empty() && session.playPath.empty() && !player::record::Start("", why)) return false;
    std::FILE* trace = g_open.inPlace != nullptr ? g_open.inPlace : g_open.trace.stream;
    if (trace != nullptr) {
        g_open.writer = std::make_unique<sim::TraceWriter>(trace);
        run.trace = g_open.writer.get();
        run.draws = true;
        // The game goes on without a trace that cannot be written, and the disk gets its room back at once.
        run.writeFailed = [] { player::DropOutput(&g_open.trace); };
    }
    if (run.scripted || run.trace != nullptr) sim::StartRun(std::move(run));
    return true;
}

bool EndSession(int exitCode, std::string* why) {
    // FinishRun fails only for the trace here: a session takes no shots.
    std::string problems = FinishTrace(sim::FinishRun(exitCode));
    std::string recordWhy;
    // A run kept in memory only stays there: the page offers it after the game.
    if (!player::record::Finish(&recordWhy) && !g_open.recordPath.empty()) {
        problems += (problems.empty() ? "" : "; ") +
                    ("--record " + player::options::ShownPath(g_open.recordPath) + ": " + recordWhy);
    }
    g_open.writer.reset();
    g_open = Open{};
    *why = problems;
    return problems.empty();
}

int PlayGame(const player::options::Options& chosen, const std::filesystem::path& programFolder) {
    std::string why;
    if (!BeginSession(Session{chosen.recordPath, chosen.playPath, chosen.tracePath, false, chosen.lang.has_value()},
                      &why)) {
        winapi::Tell("kawauo: " + why);
        return 1;
    }
    // None found: the game still starts, and says which picture is missing.
    EnterPictureFolder(programFolder);
    static char commandLine[] = "";
    int status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    if (!EndSession(status, &why)) {
        winapi::Tell("kawauo: " + why);
        if (status == 0) status = 1;
    }
    return status;
}

}  // namespace core
