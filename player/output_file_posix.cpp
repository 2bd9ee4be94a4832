// The player's output files on POSIX systems: made with O_EXCL, which opens
// nothing that stands at the name (a FIFO there cannot hold the open), and
// put in place by a rename, or by a link when nothing may be replaced.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "player/output_file.h"

namespace player {

std::FILE* CreateNewFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        errno = error;
    }
    return file;
}

bool RenameOutput(const std::string& part, const std::string& path, bool replace) {
    bool renamed = false;
    if (replace) {
        renamed = ::rename(part.c_str(), path.c_str()) == 0;
    } else if (::link(part.c_str(), path.c_str()) == 0) {
        // A link is made only where nothing stands, at once; the part's name then goes.
        renamed = true;
        ::unlink(part.c_str());
    } else if (errno == EPERM || errno == ENOTSUP || errno == ENOSYS) {
        // A file system without links: looked at first, then renamed.
        struct stat place;
        if (::lstat(path.c_str(), &place) == 0) errno = EEXIST;
        if (errno != ENOENT) return false;
        renamed = ::rename(part.c_str(), path.c_str()) == 0;
    }
    if (!renamed) return false;
    // The rename lasts once the folder holding it is on the disk.
    const int folder = ::open(std::filesystem::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        ::close(folder);
    }
    return true;
}

}  // namespace player
