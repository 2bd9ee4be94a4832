// The player's output files on Windows: made with _O_EXCL, which opens
// nothing that stands at the name, and renamed into place; a rename here
// replaces nothing unless asked to.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "hosts/shared/output_file.h"

namespace platform {

std::FILE* CreateNewFile(const std::string& path) {
    const int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        _close(fd);
        _unlink(path.c_str());
        errno = error;
    }
    return file;
}

bool RenameOutput(const std::string& part, const std::string& path, bool replace) {
    std::error_code error;
    if (!replace) {
        if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
            errno = EEXIST;
            return false;
        }
        return std::rename(part.c_str(), path.c_str()) == 0;
    }
    std::filesystem::rename(part, path, error);
    if (error) errno = EACCES;
    return !error;
}

}  // namespace platform
