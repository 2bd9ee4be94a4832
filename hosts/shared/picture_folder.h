// Where the game's pictures are looked for: the working folder, the program's
// own folder, then the installed data folders beside the program's bin folder.
#pragma once
#include <filesystem>
#include <vector>

namespace platform {

// The folders that may hold bmp/, in the order they are tried; only the
// working folder when the program's folder is not known (empty).
std::vector<std::filesystem::path> PictureFolders(const std::filesystem::path& programFolder);

// Makes the first of those folders holding bmp/back.bmp the working folder,
// and names them all in later file reports. False when none holds it: the
// working folder stays and standard error names the folders tried.
bool EnterPictureFolder(const std::filesystem::path& programFolder);

}  // namespace platform
