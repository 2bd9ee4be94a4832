// The player's pictures folder on Windows, the Pictures known folder (which
// the player may have moved, or which may have a name in any language), and
// the local time a screenshot is named by.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>
#include <string>

#include "player/screenshot_folder.h"
#include "winapi/files.h"

namespace player::screenshot {

bool Folder(std::string* folder, std::string* why) {
    wchar_t* pictures = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_DEFAULT, nullptr, &pictures);
    if (SUCCEEDED(found)) *folder = winapi::Utf8Of(std::filesystem::path(pictures) / L"kawauo");
    CoTaskMemFree(pictures);
    if (SUCCEEDED(found)) return true;
    *why = "Windows names no Pictures folder (error " + std::to_string(static_cast<unsigned long>(found)) + ")";
    return false;
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    localtime_s(&local, &when);
    return local;
}

}  // namespace player::screenshot
