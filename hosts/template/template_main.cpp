// The players' entry a new host starts from: what every host's main does
// with the player services of hosts/shared, in this order, before and after
// the game's WinMain. The build compiles it with template_host.cpp (it is
// linked into nothing); hosts/sdl/sdl_main.cpp is the whole of it for a desktop.
#include <filesystem>
#include <string>

#include "hosts/shared/options.h"
#include "hosts/shared/picture_folder.h"
#include "hosts/shared/settings.h"
#include "sim/session.h"
#include "winapi/language.h"
#include "winapi/process.h"
#include "winapi/text.h"

namespace {

// A port asks its system which keyboard keys it has, by the names the
// settings file uses for them.
bool KeyKnown(const std::string&) { return false; }

}  // namespace

int main(int argc, char** argv) {
    process::KeepStandardStreams();
    // The command line, as every host reads it.
    options::Options chosen;
    const options::Outcome outcome = options::Parse(options::Program::kGame, argc, argv, &chosen);
    if (outcome != options::Outcome::kRun) return options::Answer(options::Program::kGame, outcome, stdout);
    // The settings file: the command line wins over it for this run; a port
    // hands its keys to its keyboard and saves what the player changes.
    settings::File file;
    const settings::Settings saved = settings::Load(settings::DefaultPath(), KeyKnown, &file);
    texts::UseLanguage(chosen.lang.value_or(saved.lang));
    platform::UseTextOutline(chosen.outline || saved.outline);
    // No folder holding the pictures: one box, in the language just chosen,
    // says where the game looked and what to do, as fits how the port's
    // game comes to its players; the entry ends with 1.
    const std::filesystem::path programFolder;  // a port asks its system
    if (!platform::PicturesFound(programFolder, platform::PicturesCame::kPackage)) return 1;
    // --record, --play and --trace, the picture folder and the game: a port
    // passes the folder its program was started from.
    const int status = sim::PlayGame(chosen, programFolder);
    return process::FinalStatus(status);
}
