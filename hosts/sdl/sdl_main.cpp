// The players' entry: reads the command line, finds the folder holding the
// pictures, makes it the working directory (the game reads "bmp\..." from
// there) and runs WinMain.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "hosts/sdl/sdl_host.h"
#include "hosts/shared/options.h"
#include "hosts/shared/picture_folder.h"
#include "hosts/shared/settings.h"
#include "sim/session.h"
#include "winapi/language.h"
#include "winapi/process.h"
#include "winapi/text.h"
#include "winapi/win.h"

namespace {

namespace fs = std::filesystem;

// The folder of the running program, or empty when the system will not say.
fs::path ProgramFolder() {
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : exe.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    process::KeepStandardStreams();
    options::Options chosen;
    const options::Outcome outcome = options::Parse(options::Program::kGame, argc, argv, &chosen);
    if (outcome != options::Outcome::kRun) return options::Answer(options::Program::kGame, outcome, stdout);
    sdlhost::UseOptions(chosen);
    std::string settingsPath = settings::DefaultPath();
    if (settingsPath.empty()) std::fprintf(stderr, "kawauo: no home folder: the settings are neither read nor saved\n");
    const settings::Settings& saved = sdlhost::LoadSettings(settingsPath);
    texts::UseLanguage(chosen.lang.value_or(saved.lang));
    platform::UseTextOutline(chosen.outline || saved.outline);
    // Begun in the working folder, which the files named on the command line
    // are relative to: the session holds them by their full paths.
    sim::Session session{chosen.recordPath, chosen.playPath, chosen.tracePath};
    std::string why;
    if (!sim::BeginSession(session, &why)) {
        std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        return 1;
    }
    // None found: the game still starts, and says which picture is missing.
    platform::EnterPictureFolder(ProgramFolder());
    static char commandLine[] = "";
    int status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    if (!sim::EndSession(status, &why)) {
        std::fprintf(stderr, "kawauo: %s\n", why.c_str());
        if (status == 0) status = 1;
    }
    SDL_Quit();
    return process::FinalStatus(status);
}
