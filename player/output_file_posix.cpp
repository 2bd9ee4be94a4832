// The player's output files on POSIX systems: made with O_EXCL, which opens
// nothing that stands at the name (a FIFO there cannot hold the open), held
// by a lock while they are written, and put in place by a rename, or by a
// link when nothing may be replaced.
#include <fcntl.h>
#include <sys/file.h>
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

// The lock goes with the last descriptor of the file: a program killed
// holds it no more.
bool HoldFile(std::FILE* file) { return flock(fileno(file), LOCK_EX | LOCK_NB) == 0; }

bool RemoveUnheld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat held {
    }, named{};
    // Only a regular file of this user's that no program holds, still under its name.
    const bool removed = fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == geteuid() &&
                         flock(fd, LOCK_EX | LOCK_NB) == 0 && lstat(path.c_str(), &named) == 0 &&
                         named.st_dev == held.st_dev && named.st_ino == held.st_ino && ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

// A file with no write permission was made read-only by its owner: even the
// superuser, whom the system would let write it, leaves it as it is.
bool ReadOnlyFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0);
}

bool StillNamed(std::FILE* file, const std::string& path) {
    struct stat open {
    }, named{};
    return fstat(fileno(file), &open) == 0 && lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

bool CutBack(std::FILE* file, uint64_t length) {
    return ftruncate(fileno(file), static_cast<off_t>(length)) == 0 &&
           fseeko(file, static_cast<off_t>(length), SEEK_SET) == 0;
}

}  // namespace player
