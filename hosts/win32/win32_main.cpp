// The Windows players' entry: reads the command line (in UTF-16), then the
// core's players' program from the folder the program was started from.
#include "hosts/core/players.h"
#include "hosts/win32/win32_internal.h"
#include "winapi/process.h"

int main() {
    winapi::process::KeepStandardStreams();
    player::options::Options chosen;
    int status = 0;
    if (win32::ReadCommandLine(&chosen, &status) != player::options::Outcome::kRun) return status;
    return core::RunPlayers(chosen, core::ProgramFolder(), core::PicturesCame::kZip);
}
