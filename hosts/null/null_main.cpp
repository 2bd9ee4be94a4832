// The players' entry a new driver starts from: the core's players' program
// (options, settings, the pictures' check, the game), from the folder the
// program was started from, which a port asks its system for.
#include "hosts/core/players.h"
#include "winapi/process.h"

int main(int argc, char** argv) {
    const int status = core::PlayersMain(argc, argv, {}, core::PicturesCame::kPackage);
    return winapi::process::FinalStatus(status);
}
