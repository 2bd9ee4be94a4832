// The players' entry: finds the folder holding the pictures, makes it the
// working directory (the game reads "bmp\..." from there) and runs WinMain.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <filesystem>
#include <system_error>

#include "platform/win.h"

namespace {

namespace fs = std::filesystem;

bool HoldsPictures(const fs::path& dir) {
    std::error_code error;
    return fs::is_directory(dir / "bmp", error);
}

// ./bmp first, then bmp next to the executable, then the installed data
// folder ../share/kawauo beside its bin folder. None found: stay, and let
// the game say which picture is missing.
void EnterPictureFolder() {
    if (HoldsPictures(".")) return;
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return;
    fs::path dir = exe.parent_path();
    for (const fs::path& candidate : {dir, dir / ".." / "share" / "kawauo"}) {
        if (HoldsPictures(candidate)) {
            fs::current_path(candidate, error);
            return;
        }
    }
}

}  // namespace

int main() {
    EnterPictureFolder();
    static char commandLine[] = "";
    int status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    SDL_Quit();
    return status;
}
