// The web page's entry: runs WinMain in the page, the game reading its
// pictures from the packed bmp/ folder. Given `--script FILE` (the page's
// ?script= query) it runs a kawauo-sim script on its virtual clock instead,
// its shots handed to the page as palette indices; given `--trace FILE`
// (?trace) it writes the trace of every frame there, as kawauo --trace
// does. A player's run is recorded in memory, for the page's download.
// Then it tells the page the game ended.
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "hosts/shared/options.h"
#include "hosts/shared/picture_folder.h"
#include "hosts/shared/record.h"
#include "hosts/web/web_host.h"
#include "hosts/web/web_internal.h"
#include "sim/runner.h"
#include "sim/script.h"
#include "sim/session.h"
#include "winapi/win.h"

namespace {

constexpr int kScriptFailure = 2;  // as kawauo-sim's: the script could not be run

bool StartScript(const std::string& path) {
    sim::RunOptions run;
    std::string why;
    if (!sim::LoadScript(path, sim::ScriptKind::kScriptWithShots, &run.script, &why)) {
        std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        return false;
    }
    webhost::RunUnpaced();
    run.scripted = true;
    run.shoot = webhost::ShootLastFrame;
    sim::StartRun(std::move(run));
    return true;
}

}  // namespace

const char* kawauo_recording() { return record::Text().c_str(); }

int main(int argc, char** argv) {
    options::Options chosen;
    if (options::Parse(options::Program::kWeb, argc, argv, &chosen) != options::Outcome::kRun) {
        kawauo_web_ended(kScriptFailure);
        return kScriptFailure;
    }
    // The pictures come in the page's bundle: without them it is damaged.
    if (!platform::PicturesFound(std::filesystem::path(), platform::PicturesCame::kBundle)) {
        kawauo_web_ended(1);
        return 1;
    }
    const bool scripted = !chosen.scriptPath.empty();
    sim::Session session;
    session.tracePath = chosen.tracePath;
    session.traceInPlace = true;  // the page reads it as the game runs
    std::string why;
    bool started =
        scripted ? StartScript(chosen.scriptPath) : sim::BeginSession(session, &why) && record::Start("", &why);
    if (!started) {
        if (!why.empty()) std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        kawauo_web_ended(kScriptFailure);
        return kScriptFailure;
    }
    static char commandLine[] = "";
    int status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    bool finished = scripted ? sim::FinishRun(status) : sim::EndSession(status, &why);
    if (!finished) {
        if (!why.empty()) std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        status = kScriptFailure;
    }
    kawauo_web_ended(status);
    return status;
}
