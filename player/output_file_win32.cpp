// The player's output files on Windows: made with _O_EXCL, which opens
// nothing that stands at the name, and moved into place by MoveFileExW,
// which replaces nothing unless asked to; every name passed in UTF-16.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "player/output_file.h"
#include "winapi/files.h"

namespace player {

std::FILE* CreateNewFile(const std::string& path) {
    const std::wstring name = winapi::PathOf(path).wstring();
    const int fd =
        _wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        _close(fd);
        _wunlink(name.c_str());
        errno = error;
    }
    return file;
}

// Written through: the move is on the disk when it returns, as a POSIX
// rename is once its folder is synced.
bool RenameOutput(const std::string& part, const std::string& path, bool replace) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExW(winapi::PathOf(part).c_str(), winapi::PathOf(path).c_str(), flags)) return true;
    const DWORD error = GetLastError();
    errno = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS      ? EEXIST
            : error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ? ENOENT
                                                                             : EACCES;
    return false;
}

}  // namespace player
