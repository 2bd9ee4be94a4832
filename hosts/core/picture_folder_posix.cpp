// The program's folder and an installed game's pictures on POSIX systems:
// the data folders beside the program's bin/ (or games/).
#include <system_error>

#include "hosts/core/picture_folder.h"

namespace core {

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
}

std::vector<std::filesystem::path> InstalledFolders(const std::filesystem::path& programFolder) {
    const std::filesystem::path share = programFolder.parent_path() / "share";
    return {share / "games" / "kawauo", share / "kawauo"};
}

}  // namespace core
