// The players' entry a new driver starts from: what every driver's main does
// with the player's files and the core, in this order, before and after the
// game's WinMain. The build compiles it with null_driver.cpp (it is linked
// into nothing); hosts/sdl/sdl_main.cpp is the whole of it for a desktop.
#include <filesystem>
#include <string>

#include "hosts/core/picture_folder.h"
#include "hosts/core/session.h"
#include "player/options.h"
#include "player/settings.h"
#include "winapi/process.h"
#include "winapi/text.h"
#include "winapi/texts.h"

namespace {

// A port asks its system which keyboard keys it has, by the names the
// settings file uses for them.
bool KeyKnown(const std::string&) { return false; }

}  // namespace

int main(int argc, char** argv) {
    winapi::process::KeepStandardStreams();
    // The command line, as every host reads it.
    player::options::Options chosen;
    const player::options::Outcome outcome =
        player::options::Parse(player::options::Program::kGame, argc, argv, &chosen);
    if (outcome != player::options::Outcome::kRun)
        return player::options::Answer(player::options::Program::kGame, outcome, stdout);
    // The settings file: the command line wins over it for this run; a port
    // hands its keys to its keyboard and saves what the player changes.
    player::settings::File file;
    const player::settings::Settings saved = player::settings::Load(player::settings::DefaultPath(), KeyKnown, &file);
    winapi::texts::UseLanguage(chosen.lang.value_or(saved.lang));
    winapi::UseTextOutline(chosen.outline || saved.outline);
    // No folder holding the pictures: one box, in the language just chosen,
    // says where the game looked and what to do, as fits how the port's
    // game comes to its players; the entry ends with 1.
    const std::filesystem::path programFolder;  // a port asks its system
    if (!core::PicturesFound(programFolder, core::PicturesCame::kPackage)) return 1;
    // --record, --play and --trace, the picture folder and the game: a port
    // passes the folder its program was started from.
    const int status = core::PlayGame(chosen, programFolder);
    return winapi::process::FinalStatus(status);
}
