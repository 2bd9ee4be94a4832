// The players' entry: finds the folder holding the pictures, makes it the
// working directory (the game reads "bmp\..." from there) and runs WinMain.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/win.h"
#include "tools/sim/session.h"

namespace {

namespace fs = std::filesystem;

bool HoldsPictures(const fs::path& dir) {
    std::error_code error;
    return fs::is_directory(dir / "bmp", error);
}

// ./bmp first, then bmp next to the executable, then the installed data
// folder ../share/kawauo beside its bin folder. None found: stay, and let
// the game say which picture is missing.
void EnterPictureFolder() {
    if (HoldsPictures(".")) return;
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return;
    fs::path dir = exe.parent_path();
    for (const fs::path& candidate : {dir, dir / ".." / "share" / "kawauo"}) {
        if (HoldsPictures(candidate)) {
            fs::current_path(candidate, error);
            return;
        }
    }
}

constexpr int kUsageFailure = 2;

// --record FILE, --play FILE and --trace FILE; false on anything else.
bool ParseArguments(int argc, char** argv, sim::Session* session) {
    for (int i = 1; i < argc; ++i) {
        std::string* value = std::strcmp(argv[i], "--record") == 0 ? &session->recordPath
                             : std::strcmp(argv[i], "--play") == 0 ? &session->playPath
                             : std::strcmp(argv[i], "--trace") == 0 ? &session->tracePath
                                                                     : nullptr;
        if (value == nullptr || i + 1 >= argc || argv[i + 1][0] == '\0') return false;
        *value = argv[++i];
    }
    return session->recordPath.empty() || session->playPath.empty();
}

// Files named on the command line are relative to where the game was started.
std::string Absolute(const std::string& path) {
    std::error_code error;
    return path.empty() ? path : fs::absolute(path, error).string();
}

}  // namespace

int main(int argc, char** argv) {
    sim::Session session;
    if (!ParseArguments(argc, argv, &session)) {
        std::fputs("usage: kawauo [--record FILE | --play FILE] [--trace FILE]\n", stderr);
        return kUsageFailure;
    }
    session = sim::Session{Absolute(session.recordPath), Absolute(session.playPath), Absolute(session.tracePath)};
    EnterPictureFolder();
    std::string why;
    if (!sim::BeginSession(session, &why)) {
        std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        return 1;
    }
    static char commandLine[] = "";
    int status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    if (!sim::EndSession(status, &why)) {
        std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        if (status == 0) status = 1;
    }
    SDL_Quit();
    return status;
}
