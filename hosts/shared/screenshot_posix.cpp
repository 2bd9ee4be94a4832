// The player's screenshots on a POSIX desktop: the pictures folder by the XDG
// rules, and a name of their own for each.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "hosts/shared/png_write.h"
#include "hosts/shared/screenshot.h"

namespace screenshot {
namespace {

namespace fs = std::filesystem;

// kawauo-YYYYMMDD-HHMMSS.png, with -2, -3... for more shots within a second.
fs::path FreeName(const fs::path& folder, std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "kawauo-%Y%m%d-%H%M%S", &local);
    std::error_code error;
    fs::path path = folder / (std::string(stamp) + ".png");
    for (int n = 2; fs::exists(path, error) && n < 100; ++n)
        path = folder / (std::string(stamp) + "-" + std::to_string(n) + ".png");
    return path;
}

}  // namespace

bool Folder(std::string* folder, std::string* why) {
    const char* pictures = std::getenv("XDG_PICTURES_DIR");
    if (pictures != nullptr && pictures[0] == '/') {
        *folder = (fs::path(pictures) / "kawauo").string();
        return true;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        *folder = (fs::path(home) / "Pictures" / "kawauo").string();
        return true;
    }
    *why = "cannot make the folder : no home folder";
    return false;
}

bool Save(const std::string& folder, std::time_t when, const Picture& picture, std::string* path, std::string* why) {
    std::error_code error;
    if (fs::create_directories(folder, error), error) {
        *why = "cannot make the folder " + folder + ": " + error.message();
        return false;
    }
    *path = FreeName(folder, when).string();
    return platform::WritePalettePng(*path, picture.pixels, picture.width, picture.height, picture.palette, why);
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
