// The player's screenshots on a POSIX desktop: the pictures folder by the XDG
// rules (user-dirs.dirs), and each shot a new file of its own, written whole
// or not at all.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "hosts/shared/output_file.h"
#include "hosts/shared/png_write.h"
#include "hosts/shared/screenshot.h"
#include "hosts/shared/user_dirs.h"
#include "winapi/files.h"

namespace screenshot {
namespace {

namespace fs = std::filesystem;

// The n-th name within the second `when`: kawauo-YYYYMMDD-HHMMSS.png, then
// -2.png, -3.png...
std::string NameOf(std::time_t when, unsigned long n) {
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "kawauo-%Y%m%d-%H%M%S", &local);
    return std::string(stamp) + (n > 1 ? "-" + std::to_string(n) : "") + ".png";
}

// `png` whole in a hidden file of `folder` made for it, then given the first
// name of the second `when` that nothing holds: the shot appears whole under
// its name or not at all, and never over anything standing there.
bool SaveUnder(const std::string& folder, std::time_t when, const std::vector<uint8_t>& png, std::string* path,
               std::string* why) {
    *path = (fs::path(folder) / NameOf(when, 1)).string();
    std::string temporary;
    std::FILE* file = platform::CreateFreshFile((fs::path(folder) / ".kawauo-shot").string(), &temporary);
    bool written = file != nullptr && std::fwrite(png.data(), 1, png.size(), file) == png.size() &&
                   std::fflush(file) == 0 && platform::SyncToDisk(file);
    int error = errno;
    if (file != nullptr && std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    // No name is the last: the shot takes the first that nothing holds.
    for (unsigned long n = 2; written; ++n) {
        if (platform::RenameOutput(temporary, *path, false)) return true;
        error = errno;
        if (error != EEXIST) break;
        *path = (fs::path(folder) / NameOf(when, n)).string();
    }
    if (file != nullptr) unlink(temporary.c_str());
    *why = "cannot write " + *path + ": " + std::strerror(error);
    return false;
}

}  // namespace

bool Folder(std::string* folder, std::string* why) {
    const char* pictures = std::getenv("XDG_PICTURES_DIR");
    if (pictures != nullptr && pictures[0] == '/') {
        *folder = (fs::path(pictures) / "kawauo").string();
        return true;
    }
    const char* homeVariable = std::getenv("HOME");
    const std::string home = homeVariable != nullptr && homeVariable[0] == '/' ? homeVariable : "";
    std::string chosen;
    if (!platform::PicturesFolderOfDesktop(home, &chosen, why)) return false;
    if (chosen.empty() && !home.empty()) chosen = home + "/Pictures";
    if (chosen.empty()) {
        *why = "no home folder is known (HOME is unset or not a full path), nor XDG_PICTURES_DIR";
        return false;
    }
    *folder = (fs::path(chosen) / "kawauo").string();
    return true;
}

bool Save(const std::string& folder, std::time_t when, const Picture& picture, std::string* path, std::string* why) {
    std::vector<uint8_t> png;
    if (!platform::EncodePalettePng(picture.pixels, picture.width, picture.height, picture.palette, &png, why)) {
        *why = "cannot write a picture in " + folder + ": " + *why;
        return false;
    }
    std::error_code error;
    if (fs::create_directories(folder, error), error) {
        *why = "cannot make the folder " + folder + ": " + error.message();
        return false;
    }
    return SaveUnder(folder, when, png, path, why);
}

void Take(const Picture& picture) {
    std::string folder;
    std::string path;
    std::string why;
    if (Folder(&folder, &why) && Save(folder, std::time(nullptr), picture, &path, &why))
        std::fprintf(stderr, "kawauo: screenshot %s\n", path.c_str());
    else std::fprintf(stderr, "kawauo: no screenshot: %s\n", why.c_str());
}

}  // namespace screenshot
