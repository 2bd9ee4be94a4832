// The players' entry on a desktop with SDL2: the core's players' program,
// from the folder of the running program.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "hosts/core/players.h"
#include "winapi/process.h"

int main(int argc, char** argv) {
    const int status = core::PlayersMain(argc, argv, core::ProgramFolder(), core::PicturesCame::kPackage);
    SDL_Quit();
    return winapi::process::FinalStatus(status);
}
