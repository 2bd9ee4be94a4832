// The player's screenshots on every desktop: each shot a new file of its own
// in the pictures folder the system names, written whole or not at all.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "player/options.h"
#include "player/output_file.h"
#include "player/png_write.h"
#include "player/screenshot.h"
#include "winapi/files.h"
#include "winapi/told.h"

namespace player::screenshot {
namespace {

namespace fs = std::filesystem;

// The n-th name within the second `when`: kawauo-YYYYMMDD-HHMMSS.png, then
// -2.png, -3.png...
std::string NameOf(std::time_t when, unsigned long n) {
    const std::tm local = LocalTime(when);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "kawauo-%Y%m%d-%H%M%S", &local);
    return std::string(stamp) + (n > 1 ? "-" + std::to_string(n) : "") + ".png";
}

// `png` whole in a hidden file of `folder` made for it, then given the first
// name of the second `when` that nothing holds: the shot appears whole under
// its name or not at all, and never over anything standing there.
bool SaveUnder(const std::string& folder, std::time_t when, const std::vector<uint8_t>& png, std::string* path,
               std::string* why) {
    const fs::path place = winapi::PathOf(folder);
    *path = winapi::Utf8Of(place / NameOf(when, 1));
    std::string temporary;
    const std::string shotPlace = winapi::Utf8Of(place / "kawauo-shot");
    RemoveStaleTemporaries(shotPlace);
    std::FILE* file = CreateFreshFile(shotPlace, &temporary);
    bool written = file != nullptr && std::fwrite(png.data(), 1, png.size(), file) == png.size() &&
                   std::fflush(file) == 0 && winapi::SyncToDisk(file);
    int error = errno;
    if (file != nullptr && std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    // No name is the last: the shot takes the first that nothing holds.
    for (unsigned long n = 2; written; ++n) {
        if (RenameOutput(temporary, *path, false)) return true;
        error = errno;
        if (error != EEXIST) break;
        *path = winapi::Utf8Of(place / NameOf(when, n));
    }
    std::error_code removed;
    if (file != nullptr) fs::remove(winapi::PathOf(temporary), removed);
    *why = "cannot write " + options::ShownPath(*path) + ": " + std::strerror(error);
    return false;
}

}  // namespace

bool Save(const std::string& folder, std::time_t when, const Picture& picture, std::string* path, std::string* why) {
    std::vector<uint8_t> png;
    if (!EncodePalettePng(picture.pixels, picture.width, picture.height, picture.palette, &png, why)) {
        *why = "cannot write a picture in " + options::ShownPath(folder) + ": " + *why;
        return false;
    }
    std::error_code error;
    if (fs::create_directories(winapi::PathOf(folder), error), error) {
        *why = "cannot make the folder " + options::ShownPath(folder) + ": " + error.message();
        return false;
    }
    return SaveUnder(folder, when, png, path, why);
}

void Take(const Picture& picture) {
    std::string folder;
    std::string path;
    std::string why;
    const bool found = Folder(&folder, &why);
    if (found && !why.empty()) winapi::Tell("kawauo: " + why);
    if (found && Save(folder, std::time(nullptr), picture, &path, &why))
        winapi::Tell("kawauo: screenshot " + options::ShownPath(path));
    else winapi::Tell("kawauo: no screenshot: " + why);
}

}  // namespace player::screenshot
