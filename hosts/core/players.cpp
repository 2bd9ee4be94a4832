// The players' program on every desktop driver, once its command line is read.
#include "hosts/core/players.h"

#include <cstdio>
#include <string>

#include "hosts/core/driver.h"
#include "hosts/core/notes.h"
#include "hosts/core/remembered.h"
#include "hosts/core/session.h"
#include "hosts/core/worker.h"
#include "player/settings.h"
#include "player/settings_file.h"
#include "player/version.h"
#include "winapi/host.h"
#include "winapi/process.h"

namespace core {

namespace {

// A run that stopped before the player could read why, where they read no
// standard error: the notes it left, in one box.
void TellWhyItStopped(int status) {
    const std::string unshown = notes::TakeWaiting();
    const Driver& driver = TheDriver();
    if (status != 0 && !unshown.empty() && driver.errorsUnseen != nullptr && driver.errorsUnseen())
        winapi::host::ShowMessageBox(KAWAUO_NAME, unshown.c_str());
}

}  // namespace

int RunPlayers(const player::options::Options& chosen, const std::filesystem::path& programFolder, PicturesCame came) {
    notes::NoteWhatIsTold();
    const std::string path =
        player::settings::MoveFormerFile(player::settings::DefaultPath(), player::settings::FormerPath());
    if (path.empty())
        std::fprintf(stderr, "kawauo: no %s: the settings are neither read nor saved\n",
                     player::settings::DefaultFolderName());
    LoadSettings(path, chosen);
    const int status = PicturesFound(programFolder, came) ? PlayGame(chosen, programFolder) : 1;
    FinishWriting();
    TellWhyItStopped(status);
    return status;
}

int PlayersMain(int argc, char** argv, const std::filesystem::path& programFolder, PicturesCame came) {
    winapi::process::KeepStandardStreams();
    player::options::Options chosen;
    const auto outcome = player::options::Parse(player::options::Program::kGame, argc, argv, &chosen);
    if (outcome != player::options::Outcome::kRun)
        return player::options::Answer(player::options::Program::kGame, outcome, stdout);
    return RunPlayers(chosen, programFolder, came);
}

}  // namespace core
