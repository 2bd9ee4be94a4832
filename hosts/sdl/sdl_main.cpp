// The players' entry on a desktop: reads the command line and the settings,
// then plays the game (core::PlayGame) from the folder holding the pictures,
// or says in a box that none holds them and ends with 1.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "hosts/core/picture_folder.h"
#include "hosts/core/session.h"
#include "hosts/sdl/sdl_host.h"
#include "player/options.h"
#include "player/settings.h"
#include "winapi/process.h"
#include "winapi/text.h"
#include "winapi/texts.h"

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
    winapi::process::KeepStandardStreams();
    player::options::Options chosen;
    const player::options::Outcome outcome =
        player::options::Parse(player::options::Program::kGame, argc, argv, &chosen);
    if (outcome != player::options::Outcome::kRun)
        return player::options::Answer(player::options::Program::kGame, outcome, stdout);
    sdl::UseOptions(chosen);
    std::string settingsPath = player::settings::DefaultPath();
    if (settingsPath.empty()) std::fprintf(stderr, "kawauo: no home folder: the settings are neither read nor saved\n");
    const player::settings::Settings& saved = sdl::LoadSettings(settingsPath);
    winapi::texts::UseLanguage(chosen.lang.value_or(saved.lang));
    winapi::UseTextOutline(chosen.outline || saved.outline);
    const fs::path programFolder = ProgramFolder();
    const int status =
        core::PicturesFound(programFolder, core::PicturesCame::kPackage) ? core::PlayGame(chosen, programFolder) : 1;
    SDL_Quit();
    return winapi::process::FinalStatus(status);
}
