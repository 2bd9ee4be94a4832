// The players' entry on a desktop: reads the command line and the settings,
// then plays the game (sim::PlayGame) from the folder holding the pictures,
// or says in a box that none holds them and ends with 1.
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
    const fs::path programFolder = ProgramFolder();
    const int status = platform::PicturesFound(programFolder, platform::PicturesCame::kPackage)
                           ? sim::PlayGame(chosen, programFolder)
                           : 1;
    SDL_Quit();
    return process::FinalStatus(status);
}
