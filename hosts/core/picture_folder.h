// Where the game's pictures are looked for: the working folder, the program's
// own folder, then (on POSIX systems) the installed data folders beside the
// program's bin folder.
#pragma once
#include <filesystem>
#include <vector>

namespace core {

// The folders that may hold bmp/, in the order they are tried: the working
// folder, the program's folder, then the system's InstalledFolders; only the
// working folder when the program's folder is not known (empty).
std::vector<std::filesystem::path> PictureFolders(const std::filesystem::path& programFolder);

// The system's part (picture_folder_posix.cpp, _win32.cpp): the folder of
// the running program, or empty when the system will not say; and where an
// installed game keeps its pictures, from that folder (on POSIX systems
// share/games/kawauo and share/kawauo beside its bin/ or games/; none on
// Windows, where the zip keeps bmp beside kawauo.exe).
std::filesystem::path ProgramFolder();
std::vector<std::filesystem::path> InstalledFolders(const std::filesystem::path& programFolder);

// Makes the first of those folders holding bmp/back.bmp the working folder,
// and names them all in later file reports. False when none holds it: the
// working folder stays and standard error names the folders tried.
bool EnterPictureFolder(const std::filesystem::path& programFolder);

// How the player's copy of the game came, which says how to get the pictures
// back: a zip unpacked (Windows), a package or the source folder (Linux), the
// page's bundle (a browser).
enum class PicturesCame { kZip, kPackage, kBundle };

// Before the game, in every players' entry: true when one of the folders
// holds bmp/back.bmp. Otherwise one message box (the host's own) and
// standard error name the folders searched and what to do, in the language
// chosen (winapi::texts::UseLanguage), and the entry ends with status 1 rather than
// start a game that would stop at every picture. The working folder is left
// as it is, for --record and --trace to name their files from.
bool PicturesFound(const std::filesystem::path& programFolder, PicturesCame came);

}  // namespace core
