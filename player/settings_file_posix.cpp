// The settings file's place on POSIX systems: found by the XDG rules, what
// the file is now and its mode read from the file, and a file of many names
// written where it stands.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "player/settings_file.h"

namespace player::settings {

std::string DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/kawauo/settings";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/kawauo/settings";
    return {};
}

const char* DefaultFolderName() { return "home folder"; }

// The file has been where the XDG rules put it since the first version.
std::string FormerPath() { return {}; }

// The manual page says what the file holds; the first change writes it.
bool WrittenAtFirstStart() { return false; }

Stamp StampOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {};
    const int64_t changed = int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
    return {
        true,    static_cast<uint64_t>(st.st_dev),  static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_size),
        changed, static_cast<uint32_t>(st.st_nlink)};
}

// The new file was asked for with mode 0666, so that the umask gives a new
// settings file its mode; an existing file's mode is kept.
bool KeepMode(const std::string& path, std::FILE* fresh) {
    struct stat old {};
    return stat(path.c_str(), &old) != 0 || fchmod(fileno(fresh), old.st_mode & 07777) == 0;
}

bool WriteInPlace(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    bool written = true;
    for (size_t done = 0; written && done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        written = wrote > 0 || (wrote < 0 && errno == EINTR);
        if (wrote > 0) done += static_cast<size_t>(wrote);
    }
    written = written && ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return written;
}

}  // namespace player::settings
