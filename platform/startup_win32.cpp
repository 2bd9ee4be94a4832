// The Windows players' entry: makes the folder holding the pictures the
// working directory (the game reads "bmp\..." from there) and runs WinMain.
#include "platform/host_win32_internal.h"
#include "platform/picture_folder.h"
#include "platform/win.h"

int main() {
    // None found: the game still starts, and says which picture is missing.
    platform::EnterPictureFolder(win32host::ProgramFolder());
    static char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}
