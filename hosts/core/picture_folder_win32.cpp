// Where an installed game keeps its pictures on Windows: nowhere but beside
// kawauo.exe, where the zip puts bmp\ (the folders searched name no other).
#include "hosts/core/picture_folder.h"

namespace core {

std::vector<std::filesystem::path> InstalledFolders(const std::filesystem::path&) { return {}; }

}  // namespace core
