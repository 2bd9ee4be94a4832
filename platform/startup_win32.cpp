// The Windows players' entry: makes the folder holding the pictures the
// working directory (the game reads "bmp\..." from there) and runs WinMain.
#include <filesystem>
#include <system_error>

#include "platform/host_win32_internal.h"
#include "platform/win.h"

namespace {

namespace fs = std::filesystem;

// ./bmp first, then bmp beside the program (started from a shortcut or
// another folder). None found: stay, and let the game say which picture is
// missing.
void EnterPictureFolder() {
    std::error_code error;
    if (fs::is_directory("bmp", error)) return;
    fs::path folder = win32host::ProgramFolder();
    if (!folder.empty() && fs::is_directory(folder / "bmp", error)) fs::current_path(folder, error);
}

}  // namespace

int main() {
    EnterPictureFolder();
    static char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
