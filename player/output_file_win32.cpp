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

// A file open for writing cannot be deleted (its open did not share
// deletion): no lock is needed to tell it is in use.
bool HoldFile(std::FILE*) { return true; }

bool RemoveUnheld(const std::string& path) {
    const std::wstring name = winapi::PathOf(path).wstring();
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return false;
    return DeleteFileW(name.c_str()) != 0;
}

bool ReadOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(winapi::PathOf(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

namespace {

bool Identify(HANDLE handle, BY_HANDLE_FILE_INFORMATION* info) {
    return handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, info);
}

}  // namespace

bool StillNamed(std::FILE* file, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION open{}, named{};
    const HANDLE byName =
        CreateFileW(winapi::PathOf(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    const bool same = Identify(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), &open) &&
                      Identify(byName, &named) && open.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
                      open.nFileIndexHigh == named.nFileIndexHigh && open.nFileIndexLow == named.nFileIndexLow;
    if (byName != INVALID_HANDLE_VALUE) CloseHandle(byName);
    return same;
}

bool CutBack(std::FILE* file, uint64_t length) {
    return _chsize_s(_fileno(file), static_cast<long long>(length)) == 0 &&
           _fseeki64(file, static_cast<long long>(length), SEEK_SET) == 0;
}

}  // namespace player
