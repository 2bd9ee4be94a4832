// The players' entry on a desktop with SDL2: the core's players' program,
// from the folder of the running program.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <filesystem>
#include <system_error>

#include "hosts/core/players.h"
#include "winapi/process.h"

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
    const int status = core::PlayersMain(argc, argv, ProgramFolder(), core::PicturesCame::kPackage);
    SDL_Quit();
    return winapi::process::FinalStatus(status);
}
