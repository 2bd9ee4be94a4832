// Where an installed game keeps its pictures on POSIX systems: the data
// folders beside the program's bin/ (or games/).
#include "hosts/core/picture_folder.h"

namespace core {

std::vector<std::filesystem::path> InstalledFolders(const std::filesystem::path& programFolder) {
    const std::filesystem::path share = programFolder.parent_path() / "share";
    return {share / "games" / "kawauo", share / "kawauo"};
}

}  // namespace core
