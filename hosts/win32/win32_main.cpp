// The Windows players' entry: makes the folder holding the pictures the
// working directory (the game reads "bmp\..." from there) and runs WinMain.
#include "hosts/shared/picture_folder.h"
#include "hosts/win32/win32_internal.h"
#include "winapi/win.h"

int main() {
    if (!platform::PicturesFound(win32host::ProgramFolder(), platform::PicturesCame::kZip)) return 1;
    platform::EnterPictureFolder(win32host::ProgramFolder());
    static char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
