// The web page's entry: runs WinMain in the page, the game reading its
// pictures from the packed bmp/ folder, with the query's options over the
// settings the page keeps. Given `--script FILE` (the page's ?script= query)
// it runs a kawauo-sim script on its virtual clock instead, its shots handed
// to the page as palette indices and, given `--trace FILE` too, its trace
// written there as kawauo-sim --trace writes it; given `--play FILE` (a
// recording opened on the page) it shows that run as kawauo --play does;
// given `--trace FILE` (?trace) it writes the trace of every frame there, as
// kawauo --trace does. A player's run is recorded in memory, for the page's
// download. Then it tells the page the game ended. Each argument is whole
// (--name=value); one the game cannot take (a bad value in the page's
// query) is left out and told to the page, and the game starts with the rest.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "hosts/core/notes.h"
#include "hosts/core/picture_folder.h"
#include "hosts/core/session.h"
#include "hosts/web/web_host.h"
#include "hosts/web/web_internal.h"
#include "player/options.h"
#include "player/record.h"
#include "sim/runner.h"
#include "sim/script.h"
#include "sim/showing.h"
#include "sim/trace.h"
#include "winapi/win.h"

namespace {

constexpr int kScriptFailure = 2;  // as kawauo-sim's: the script could not be run

// A script's trace, written straight to the page's file as the run goes.
struct ScriptTrace {
    std::FILE* file = nullptr;
    std::unique_ptr<sim::TraceWriter> writer;
};

bool StartScript(const player::options::Options& chosen, ScriptTrace* trace) {
    sim::RunOptions run;
    std::string why;
    if (!sim::LoadScript(chosen.scriptPath, sim::ScriptKind::kScriptWithShots, &run.script, &why)) {
        std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        return false;
    }
    if (!chosen.tracePath.empty()) {
        trace->file = std::fopen(chosen.tracePath.c_str(), "wb");
        if (trace->file == nullptr) {
            std::fprintf(stderr, "kawauo: --trace %s: cannot write it\n", chosen.tracePath.c_str());
            return false;
        }
        trace->writer = std::make_unique<sim::TraceWriter>(trace->file);
        run.trace = trace->writer.get();
    }
    web::RunUnpaced();
    run.scripted = true;
    run.shoot = web::ShootLastFrame;
    sim::StartRun(std::move(run));
    return true;
}

bool FinishScript(int status, ScriptTrace* trace) {
    bool finished = sim::FinishRun(status);
    if (trace->file != nullptr) finished = std::fclose(trace->file) == 0 && finished;
    return finished;
}

// A player's run, or the run of a recording opened on the page.
bool StartSession(const player::options::Options& chosen, std::string* why) {
    core::Session session;
    session.playPath = chosen.playPath;
    session.tracePath = chosen.tracePath;
    session.traceInPlace = true;  // the page reads it as the game runs
    session.languageChosen = chosen.lang.has_value();
    return core::BeginSession(session, why);
}

// The arguments the game can take, each tried alone; the rest told to the page.
std::vector<const char*> TakenArguments(int argc, char** argv) {
    std::vector<const char*> taken{argv[0]};
    for (int i = 1; i < argc; ++i) {
        char* why = nullptr;
        size_t length = 0;
        std::FILE* errors = open_memstream(&why, &length);
        const char* alone[] = {argv[0], argv[i]};
        player::options::Options chosen;
        const auto outcome = player::options::Parse(player::options::Program::kWeb, 2, alone, &chosen, errors);
        if (errors != nullptr) std::fclose(errors);
        if (outcome == player::options::Outcome::kRun) taken.push_back(argv[i]);
        else kawauo_web_refused(argv[i], why != nullptr ? why : "");
        std::free(why);
    }
    return taken;
}

}  // namespace

const char* kawauo_recording() { return player::record::Text().c_str(); }

int kawauo_showing() { return static_cast<int>(sim::ShowingNow()); }

int main(int argc, char** argv) {
    player::options::Options chosen;
    const std::vector<const char*> taken = TakenArguments(argc, argv);
    if (player::options::Parse(player::options::Program::kWeb, static_cast<int>(taken.size()), taken.data(), &chosen) !=
        player::options::Outcome::kRun) {
        kawauo_web_ended(kScriptFailure);
        return kScriptFailure;
    }
    const bool scripted = !chosen.scriptPath.empty();
    core::notes::NoteWhatIsTold();
    web::UseChoices(chosen, !scripted);
    // The pictures come in the page's bundle: without them it is damaged
    // (said in the language just chosen).
    if (!core::PicturesFound(std::filesystem::path(), core::PicturesCame::kBundle)) {
        kawauo_web_ended(1);
        return 1;
    }
    ScriptTrace scriptTrace;
    std::string why;
    bool started = scripted ? StartScript(chosen, &scriptTrace) : StartSession(chosen, &why);
    if (!started) {
        if (!why.empty()) std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        kawauo_web_ended(kScriptFailure);
        return kScriptFailure;
    }
    static char commandLine[] = "";
    int status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    bool finished = scripted ? FinishScript(status, &scriptTrace) : core::EndSession(status, &why);
    if (!finished) {
        if (!why.empty()) std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        status = kScriptFailure;
    }
    kawauo_web_ended(status);
    return status;
}
