// The program's folder and an installed game's pictures on Windows: nowhere
// but beside kawauo.exe, where the zip puts bmp\ (the folders searched name
// no other).
#include <windows.h>

#include "hosts/core/picture_folder.h"

namespace core {

std::filesystem::path ProgramFolder() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return std::filesystem::path();
        if (length < name.size()) return std::filesystem::path(std::wstring(name.data(), length)).parent_path();
        name.resize(name.size() * 2);
    }
}

std::vector<std::filesystem::path> InstalledFolders(const std::filesystem::path&) { return {}; }

}  // namespace core
