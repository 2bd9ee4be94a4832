// The web page's entry: runs WinMain in the page, the game reading its
// pictures from the packed bmp/ folder. Given `--script FILE` (the page's
// ?script= query) it runs a kawauo-sim script on its virtual clock instead,
// its shots handed to the page as palette indices; given `--trace FILE`
// (?trace) it writes the trace of every frame there, as kawauo --trace
// does. A player's run is recorded in memory, for the page's download.
// Then it tells the page the game ended.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/host_web.h"
#include "platform/host_web_internal.h"
#include "platform/record.h"
#include "platform/win.h"
#include "tools/sim/runner.h"
#include "tools/sim/script.h"
#include "tools/sim/session.h"

namespace {

constexpr int kScriptFailure = 2;  // as kawauo-sim's: the script could not be run

bool StartScript(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "kawauo: cannot read %s\n", path);
        return false;
    }
    std::vector<sim::Command> commands;
    sim::ScriptError error;
    if (!sim::ParseScript(text.str(), true, &commands, &error)) {
        std::fprintf(stderr, "kawauo: %s:%d: %s\n", path, error.line, error.message.c_str());
        return false;
    }
    webhost::RunUnpaced();
    sim::RunOptions run;
    run.scripted = true;
    run.commands = std::move(commands);
    run.shoot = webhost::ShootLastFrame;
    sim::StartRun(std::move(run));
    return true;
}

}  // namespace

const char* kawauo_recording() { return record::Text().c_str(); }

int main(int argc, char** argv) {
    const bool scripted = argc == 3 && std::strcmp(argv[1], "--script") == 0;
    sim::Session session;
    if (argc == 3 && std::strcmp(argv[1], "--trace") == 0) session.tracePath = argv[2];
    std::string why;
    bool started = scripted ? StartScript(argv[2]) : sim::BeginSession(session, &why) && record::Start("", &why);
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
