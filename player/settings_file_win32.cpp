// The settings file's place on Windows: %APPDATA%\kawauo\settings.ini (else
// in the roaming application data known folder), and its read-only mark.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

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

bool ReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(winapi::PathOf(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// A new file takes its folder's permissions, as the old one did.
bool KeepMode(const std::string&, std::FILE*) { return true; }

}  // namespace player::settings
