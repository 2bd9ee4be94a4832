// The Win32 host's command line: read in UTF-16 (any folder or file name the
// player types survives), parsed as on Linux, and for --help, --version or a
// refused line answered where the player can read it. A window program has
// no console of its own: the answer goes to the standard stream the parent
// gave it (a pipe, a file), else to the console it was started from, else,
// started from Explorer, into a box.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "hosts/win32/win32_internal.h"

namespace {

// The program's arguments as UTF-8, its own name first.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(win32::Utf8(wide[i]));
    LocalFree(wide);
    if (arguments.empty()) arguments.push_back("kawauo");
    return arguments;
}

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool WriteConsoleText(HANDLE console, const std::string& text) {
    const std::wstring wide = win32::Wide(text);
    DWORD written = 0;
    return WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
           written == wide.size();
}

enum class Delivery { kWritten, kFailed, kNowhere };

Delivery Written(bool written) { return written ? Delivery::kWritten : Delivery::kFailed; }

// The text on the stream `which` of the parent: as bytes (UTF-8) to a pipe or
// a file, as characters to a console, or else on the console the program was
// started from; nowhere when it has none.
Delivery WriteToParent(DWORD which, const std::string& text) {
    HANDLE stream = GetStdHandle(which);
    DWORD mode = 0;
    if (Usable(stream) && GetConsoleMode(stream, &mode)) return Written(WriteConsoleText(stream, text));
    if (Usable(stream)) {
        DWORD written = 0;
        return Written(WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size());
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return Delivery::kNowhere;
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return Delivery::kNowhere;
    // The shell has shown its prompt already: the answer starts on a line of its own.
    const bool written = WriteConsoleText(console, "\n" + text);
    CloseHandle(console);
    return Written(written);
}

}  // namespace

namespace win32 {

bool ErrorsUnseen() { return !Usable(GetStdHandle(STD_ERROR_HANDLE)) && GetConsoleWindow() == nullptr; }

player::options::Outcome ReadCommandLine(player::options::Options* chosen, int* status) {
    using player::options::Outcome;
    const std::vector<std::string> arguments = Arguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    std::string text;
    const Outcome outcome = player::options::Parse(player::options::Program::kGame, static_cast<int>(argv.size()),
                                                   argv.data(), chosen, &text);
    if (outcome == Outcome::kRun) return outcome;
    const bool refused = outcome == Outcome::kBad;
    *status = refused ? player::options::kUsageStatus : 0;
    if (!refused) text = player::options::AnswerText(player::options::Program::kGame, outcome);
    Delivery delivery = WriteToParent(refused ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, text);
    if (delivery == Delivery::kNowhere) {
        // A box's proportional font breaks columns: the usage there as a list.
        if (outcome == Outcome::kHelp)
            text =
                player::options::AnswerText(player::options::Program::kGame, outcome, player::options::Layout::kList);
        const UINT icon = refused ? MB_ICONWARNING : MB_ICONINFORMATION;
        delivery = Written(MessageBoxW(nullptr, Wide(text).c_str(), L"kawauo", MB_OK | icon) != 0);
    }
    if (delivery == Delivery::kFailed && !refused) *status = 1;
    return outcome;
}

}  // namespace win32
