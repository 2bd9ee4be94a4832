// Choosing the folder the game reads "bmp\..." from, for every players' entry,
// and telling the player when no folder holds the pictures (the installed
// folders are the system's part: picture_folder_posix.cpp, _win32.cpp).
#include "hosts/core/picture_folder.h"

#include <cstdio>
#include <string>
#include <system_error>

#include "player/version.h"
#include "winapi/files.h"
#include "winapi/host.h"
#include "winapi/texts.h"

namespace core {

namespace fs = std::filesystem;

namespace {

// The first folder holding bmp/back.bmp, or an empty path.
fs::path PictureFolderAmong(const std::vector<fs::path>& folders) {
    std::error_code error;
    for (const fs::path& folder : folders)
        if (fs::is_regular_file(folder / "bmp" / "back.bmp", error)) return folder;
    return fs::path();
}

// A folder's name as the box shows it, whatever the system's code page.
std::string Utf8Name(const fs::path& folder) {
    const std::u8string name = folder.u8string();
    return std::string(name.begin(), name.end());
}

struct NoPicturesWords {
    const char* missing;    // before the folders
    const char* advice[3];  // after them, by PicturesCame
};

// By winapi::texts::Language. The game's own voice: what is wrong, then what to do.
constexpr NoPicturesWords kNoPicturesWords[winapi::texts::kLanguageCount] = {
    {"ゲームの絵（bmp フォルダの back.bmp ほか）が見つかりません。\n探したフォルダ:",
     {"zip の中身をフォルダごとすべて展開して、展開したフォルダの kawauo.exe を起動してください。"
      "bmp フォルダは kawauo.exe と同じ場所に置いてください。",
      "パッケージを入れ直すか（sudo apt-get install --reinstall kawauo）、"
      "bmp フォルダのあるソースフォルダで起動してください（./play.sh のように）。",
      "ページのデータ（kawauo.data）が壊れているか足りません。ページを読み込み直してください。"
      "直らないときは、サイトのファイルが欠けています。"}},
    {"The game's pictures (back.bmp and the rest in a bmp folder) are not there.\nFolders searched:",
     {"Unpack the whole folder from the zip and start kawauo.exe from the unpacked folder: "
      "the bmp folder must stay beside kawauo.exe.",
      "Install the package again (sudo apt-get install --reinstall kawauo), or start the game "
      "from the source folder, which holds bmp (as ./play.sh does).",
      "The page's data (kawauo.data) is damaged or incomplete. Load the page again; "
      "if that does not help, the site is missing files."}},
};

// What the player is told when none of `folders` holds the pictures: the
// folders, one a line, and what to do, in `language` (UTF-8).
std::string NoPicturesText(const std::vector<fs::path>& folders, PicturesCame came, winapi::texts::Language language) {
    const NoPicturesWords& words = kNoPicturesWords[static_cast<int>(language)];
    std::string text = words.missing;
    for (const fs::path& folder : folders) text += "\n  " + Utf8Name(folder);
    return text + "\n\n" + words.advice[static_cast<int>(came)];
}

}  // namespace

std::vector<fs::path> PictureFolders(const fs::path& programFolder) {
    std::error_code error;
    std::vector<fs::path> folders{fs::current_path(error)};
    if (programFolder.empty()) return folders;
    std::vector<fs::path> beside = {programFolder};
    for (const fs::path& installed : InstalledFolders(programFolder)) beside.push_back(installed);
    for (const fs::path& folder : beside) {
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
    winapi::SetSearchedFolders(names);
    const fs::path found = PictureFolderAmong(folders);
    if (!found.empty()) {
        std::error_code error;
        fs::current_path(found, error);
        return !error;
    }
    std::string tried;
    for (const std::string& name : names) tried += "\n  " + name;
    std::fprintf(stderr, "kawauo: no folder holds bmp/back.bmp; looked in:%s\n", tried.c_str());
    return false;
}

bool PicturesFound(const fs::path& programFolder, PicturesCame came) {
    const std::vector<fs::path> folders = PictureFolders(programFolder);
    if (!PictureFolderAmong(folders).empty()) return true;
    const std::string text = NoPicturesText(folders, came, winapi::texts::CurrentLanguage());
    std::fprintf(stderr, "kawauo: %s\n", text.c_str());
    winapi::host::ShowMessageBox(KAWAUO_NAME, text.c_str());
    return false;
}

}  // namespace core
