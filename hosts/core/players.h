// The players' program on every desktop driver, once its command line is
// read: the settings, the pictures' check, the game, the files left written.
#pragma once
#include <filesystem>

#include "hosts/core/picture_folder.h"
#include "player/options.h"

namespace core {

// Reads the player's settings file (player/settings_file.h) under the
// command line's `chosen`, then, when a folder holds the pictures (else
// after one box saying where the game looked, as fits how it `came` to the
// player), plays the game (PlayGame) from `programFolder`; every file the
// core writes is written before it returns the exit status.
int RunPlayers(const player::options::Options& chosen, const std::filesystem::path& programFolder, PicturesCame came);

// The players' program where the command line comes as `argv`: its
// standard streams kept, the line read (for --help, --version or a refused
// line, the answer and its status), then RunPlayers.
int PlayersMain(int argc, char** argv, const std::filesystem::path& programFolder, PicturesCame came);

}  // namespace core
