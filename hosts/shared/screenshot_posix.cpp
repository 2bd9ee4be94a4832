// The player's screenshots on a POSIX desktop: the pictures folder by the XDG
// rules (user-dirs.dirs), and each shot a new file of its own, written whole
// or not at all.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

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

enum class Outcome { kWritten, kTaken, kNoLinks, kFailed };

// Writes `png` to the open `fd` and syncs it; closes it either way.
bool WriteAndClose(int fd, const std::vector<uint8_t>& png) {
    std::FILE* file = fdopen(fd, "wb");
    bool written = file != nullptr && std::fwrite(png.data(), 1, png.size(), file) == png.size() &&
                   std::fflush(file) == 0 && platform::SyncToDisk(file);
    int error = errno;
    if ((file != nullptr ? std::fclose(file) : close(fd)) != 0 && written) {
        written = false;
        error = errno;
    }
    errno = error;
    return written;
}

// `png` whole in a hidden temporary file of `folder`, which each name is then
// linked to: the shot appears whole under its name or not at all. Empty
// when it cannot be made (errno says why).
std::string WriteTemporary(const std::string& folder, const std::vector<uint8_t>& png) {
    std::string temporary = (fs::path(folder) / ".kawauo-shot-XXXXXX").string();
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return {};
    if (WriteAndClose(fd, png)) return temporary;
    const int error = errno;
    unlink(temporary.c_str());
    errno = error;
    return {};
}

// The written temporary file under `path` too, if nothing holds that name.
Outcome LinkNew(const std::string& temporary, const std::string& path) {
    if (link(temporary.c_str(), path.c_str()) == 0) return Outcome::kWritten;
    if (errno == EEXIST) return Outcome::kTaken;
    // Folders on file systems without hard links (FAT) take the file directly.
    return errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP || errno == EMLINK ? Outcome::kNoLinks
                                                                                        : Outcome::kFailed;
}

// Where there are no links: `png` in a file made at `path` for it; anything
// already there, a link too, leaves it kTaken; a write that fails leaves
// nothing (errno says why).
Outcome WriteNew(const std::string& path, const std::vector<uint8_t>& png) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return errno == EEXIST ? Outcome::kTaken : Outcome::kFailed;
    if (WriteAndClose(fd, png)) return Outcome::kWritten;
    const int error = errno;
    unlink(path.c_str());
    errno = error;
    return Outcome::kFailed;
}

// The first name of the second `when` that nothing holds gets `png`.
bool SaveUnder(const std::string& folder, std::time_t when, const std::vector<uint8_t>& png, std::string* path,
               std::string* why) {
    const std::string temporary = WriteTemporary(folder, png);
    if (temporary.empty()) {
        *path = (fs::path(folder) / NameOf(when, 1)).string();
        *why = "cannot write " + *path + ": " + std::strerror(errno);
        return false;
    }
    bool links = true;
    Outcome outcome = Outcome::kTaken;
    // No name is the last: the shot takes the first that nothing holds.
    for (unsigned long n = 1; outcome == Outcome::kTaken; ++n) {
        *path = (fs::path(folder) / NameOf(when, n)).string();
        outcome = links ? LinkNew(temporary, *path) : WriteNew(*path, png);
        if (outcome == Outcome::kNoLinks) {
            links = false;
            outcome = WriteNew(*path, png);
        }
    }
    const int error = errno;
    unlink(temporary.c_str());
    if (outcome == Outcome::kWritten) return true;
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
