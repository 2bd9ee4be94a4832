// The Windows players' entry: reads the command line (in UTF-16) and the
// settings, then plays the game (core::PlayGame) from the folder holding the
// pictures, as every host's entry does.
#include <cstdio>
#include <filesystem>
#include <string>

#include "hosts/core/picture_folder.h"
#include "hosts/core/session.h"
#include "hosts/win32/win32_internal.h"
#include "player/options.h"
#include "player/settings.h"
#include "winapi/process.h"
#include "winapi/text.h"
#include "winapi/texts.h"

int main() {
    winapi::process::KeepStandardStreams();
    player::options::Options chosen;
    int status = 0;
    if (win32::ReadCommandLine(&chosen, &status) != player::options::Outcome::kRun) return status;
    const std::string settingsPath = player::settings::DefaultPath();
    if (settingsPath.empty())
        std::fprintf(stderr, "kawauo: no APPDATA folder: the settings are neither read nor saved\n");
    const player::settings::Settings& saved = win32::LoadSettings(settingsPath, chosen);
    winapi::texts::UseLanguage(chosen.lang.value_or(saved.lang));
    winapi::UseTextOutline(chosen.outline || saved.outline);
    win32::UseScaleMode(win32::ChosenScale());
    const std::filesystem::path programFolder = win32::ProgramFolder();
    if (!core::PicturesFound(programFolder, core::PicturesCame::kZip)) return 1;
    return core::PlayGame(chosen, programFolder);
}
