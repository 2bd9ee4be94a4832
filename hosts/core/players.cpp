// The players' program on every desktop driver, once its command line is read.
#include "hosts/core/players.h"

#include <cstdio>
#include <string>

#include "hosts/core/remembered.h"
#include "hosts/core/session.h"
#include "hosts/core/worker.h"
#include "player/settings.h"
#include "player/settings_file.h"
#include "winapi/process.h"

namespace core {

int RunPlayers(const player::options::Options& chosen, const std::filesystem::path& programFolder, PicturesCame came) {
    const std::string path =
        player::settings::MoveFormerFile(player::settings::DefaultPath(), player::settings::FormerPath());
    if (path.empty())
        std::fprintf(stderr, "kawauo: no %s: the settings are neither read nor saved\n",
                     player::settings::DefaultFolderName());
    LoadSettings(path, chosen);
    const int status = PicturesFound(programFolder, came) ? PlayGame(chosen, programFolder) : 1;
    FinishWriting();
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
