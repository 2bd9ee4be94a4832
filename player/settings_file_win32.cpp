// The settings file's place on Windows: %APPDATA%\kawauo\settings.ini (else
// in the roaming application data known folder), what the file is now, and
// a file of many names written where it stands.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "player/settings_file.h"
#include "winapi/files.h"

namespace player::settings {
namespace {

namespace fs = std::filesystem;

fs::path ApplicationData() {
    const wchar_t* variable = _wgetenv(L"APPDATA");
    if (variable != nullptr && fs::path(variable).is_absolute()) return fs::path(variable);
    wchar_t* known = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &known))) folder = known;
    CoTaskMemFree(known);
    return folder;
}

}  // namespace

const char* DefaultFolderName() { return "APPDATA folder"; }

std::string DefaultPath() {
    const fs::path folder = ApplicationData();
    return folder.empty() ? std::string() : winapi::Utf8Of(folder / L"kawauo" / L"settings.ini");
}

std::string FormerPath() {
    const fs::path folder = ApplicationData();
    return folder.empty() ? std::string() : winapi::Utf8Of(folder / L"kawauo" / L"settings");
}

// A Windows player looks for the file in Explorer, and the read-me names it.
bool WrittenAtFirstStart() { return true; }

Stamp StampOf(const std::string& path) {
    const HANDLE file =
        CreateFileW(winapi::PathOf(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    Stamp stamp;
    if (GetFileInformationByHandle(file, &info) &&
        GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
        stamp = {true,
                 info.dwVolumeSerialNumber,
                 uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow,
                 uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow,
                 basic.ChangeTime.QuadPart,
                 info.nNumberOfLinks};
    }
    CloseHandle(file);
    return stamp;
}

// A new file takes its folder's permissions, as the old one did.
bool KeepMode(const std::string&, std::FILE*) { return true; }

bool WriteInPlace(const std::string& path, const std::string& bytes) {
    const int fd = _wopen(winapi::PathOf(path).c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) return false;
    const bool written =
        _write(fd, bytes.data(), static_cast<unsigned>(bytes.size())) == static_cast<int>(bytes.size()) &&
        _chsize_s(fd, static_cast<long long>(bytes.size())) == 0 && _commit(fd) == 0;
    const int error = errno;
    _close(fd);
    errno = error;
    return written;
}

}  // namespace player::settings
