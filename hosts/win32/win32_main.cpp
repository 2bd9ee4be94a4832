// The Windows players' entry: reads the command line (in UTF-16) and the
// settings, then plays the game (sim::PlayGame) from the folder holding the
// pictures, as every host's entry does.
#include <cstdio>
#include <filesystem>
#include <string>

#include "hosts/shared/options.h"
#include "hosts/shared/picture_folder.h"
#include "hosts/shared/settings.h"
#include "hosts/win32/win32_internal.h"
#include "sim/session.h"
#include "winapi/language.h"
#include "winapi/process.h"
#include "winapi/text.h"

int main() {
    process::KeepStandardStreams();
    options::Options chosen;
    int status = 0;
    if (win32host::ReadCommandLine(&chosen, &status) != options::Outcome::kRun) return status;
    const std::string settingsPath = settings::DefaultPath();
    if (settingsPath.empty())
        std::fprintf(stderr, "kawauo: no APPDATA folder: the settings are neither read nor saved\n");
    const settings::Settings& saved = win32host::LoadSettings(settingsPath, chosen);
    texts::UseLanguage(chosen.lang.value_or(saved.lang));
    platform::UseTextOutline(chosen.outline || saved.outline);
    win32host::UseScaleMode(win32host::ChosenScale());
    const std::filesystem::path programFolder = win32host::ProgramFolder();
    if (!platform::PicturesFound(programFolder, platform::PicturesCame::kZip)) return 1;
    return sim::PlayGame(chosen, programFolder);
}
