// The player's pictures folder on a POSIX desktop, by the XDG rules
// (user-dirs.dirs), and the local time a screenshot is named by.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "player/screenshot_folder.h"
#include "player/user_dirs.h"

namespace player::screenshot {

namespace fs = std::filesystem;

bool Folder(std::string* folder, std::string* why) {
    const char* pictures = std::getenv("XDG_PICTURES_DIR");
    if (pictures != nullptr && pictures[0] == '/') {
        *folder = (fs::path(pictures) / "kawauo").string();
        return true;
    }
    const char* homeVariable = std::getenv("HOME");
    const std::string home = homeVariable != nullptr && homeVariable[0] == '/' ? homeVariable : "";
    std::string chosen;
    // A user-dirs.dirs that cannot be read names no folder: the usual one serves, and the note says why.
    if (!PicturesFolderOfDesktop(home, &chosen, why) && !home.empty()) *why += "; using " + home + "/Pictures";
    if (chosen.empty() && !home.empty()) chosen = home + "/Pictures";
    if (chosen.empty()) {
        *why = "no home folder is known (HOME is unset or not a full path), nor XDG_PICTURES_DIR";
        return false;
    }
    *folder = (fs::path(chosen) / "kawauo").string();
    return true;
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

}  // namespace player::screenshot
