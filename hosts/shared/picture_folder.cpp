// Choosing the folder the game reads "bmp\..." from, for every players' entry.
#include "hosts/shared/picture_folder.h"

#include <cstdio>
#include <string>
#include <system_error>

#include "winapi/files.h"

namespace platform {

namespace fs = std::filesystem;

std::vector<fs::path> PictureFolders(const fs::path& programFolder) {
    std::error_code error;
    std::vector<fs::path> folders{fs::current_path(error)};
    if (programFolder.empty()) return folders;
    // Installed: bin/ (or games/) beside share/kawauo (or share/games/kawauo).
    const fs::path prefix = programFolder.parent_path();
    for (const fs::path& folder : {programFolder, prefix / "share" / "games" / "kawauo", prefix / "share" / "kawauo"}) {
        const fs::path normal = folder.lexically_normal();
        bool seen = false;
        for (const fs::path& earlier : folders) seen = seen || fs::equivalent(earlier, normal, error);
        if (!seen) folders.push_back(normal);
    }
    return folders;
}

bool EnterPictureFolder(const fs::path& programFolder) {
    const std::vector<fs::path> folders = PictureFolders(programFolder);
    std::vector<std::string> names;
    for (const fs::path& folder : folders) names.push_back(folder.string());
    SetSearchedFolders(names);
    std::error_code error;
    for (const fs::path& folder : folders) {
        if (fs::is_regular_file(folder / "bmp" / "back.bmp", error)) {
            fs::current_path(folder, error);
            return !error;
        }
    }
    std::string tried;
    for (const std::string& name : names) tried += "\n  " + name;
    std::fprintf(stderr, "kawauo: no folder holds bmp/back.bmp; looked in:%s\n", tried.c_str());
    return false;
}

}  // namespace platform
