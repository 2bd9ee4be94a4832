// The Win32 host's command line: read in UTF-16 (any folder or file name the
// player types survives), parsed as on Linux, and for --help, --version or a
// refused line answered where the player can read it. A window program has
// no console of its own: the answer goes to the standard stream the parent
// gave it (a pipe, a file), else to the console it was started from, else,
// started from Explorer, into a box.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "hosts/win32/win32_internal.h"

namespace {

constexpr unsigned kPipeBytes = 1 << 16;  // far more than the usage's text: nothing waits on it

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

// What `write` writes on the stream it is given, caught in a pipe and
// returned. (A program started without streams has no standard error to
// send there.) With no pipe to be had, `write` is given nullptr, to write
// where it would without one, and nothing is returned.
template <typename Write>
std::string Caught(Write write) {
    int ends[2];
    std::FILE* caught = _pipe(ends, kPipeBytes, _O_BINARY | _O_NOINHERIT) == 0 ? _fdopen(ends[1], "wb") : nullptr;
    write(caught);
    if (caught == nullptr) return std::string();
    std::fclose(caught);
    std::string text;
    char chunk[4096];
    for (int got; (got = _read(ends[0], chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<size_t>(got));
    _close(ends[0]);
    return text;
}

// Parses the command line with its refusal and its answer caught: Parse
// says only why a line is refused, Answer only the usage or the version, so
// it is one or the other.
std::string ParseCaught(const std::vector<const char*>& argv, player::options::Options* chosen,
                        player::options::Outcome* outcome, int* status) {
    using player::options::Program;
    return Caught([&](std::FILE* into) {
        *outcome = player::options::Parse(Program::kGame, static_cast<int>(argv.size()), argv.data(), chosen,
                                          into != nullptr ? into : stderr);
        *status = *outcome == player::options::Outcome::kRun
                      ? 0
                      : player::options::Answer(Program::kGame, *outcome, into != nullptr ? into : stdout);
    });
}

// The usage for a box, whose proportional font breaks columns: each option's
// help on the line under it.
std::string UsageForBox() {
    return Caught([](std::FILE* into) {
        if (into != nullptr)
            player::options::Answer(player::options::Program::kGame, player::options::Outcome::kHelp, into,
                                    player::options::Layout::kList);
    });
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

player::options::Outcome ReadCommandLine(player::options::Options* chosen, int* status) {
    const std::vector<std::string> arguments = Arguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    player::options::Outcome outcome = player::options::Outcome::kRun;
    const std::string text = ParseCaught(argv, chosen, &outcome, status);
    if (outcome == player::options::Outcome::kRun || text.empty()) return outcome;
    const bool refused = outcome == player::options::Outcome::kBad;
    Delivery delivery = WriteToParent(refused ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, text);
    if (delivery == Delivery::kNowhere) {
        const UINT icon = refused ? MB_ICONWARNING : MB_ICONINFORMATION;
        const std::string boxed = outcome == player::options::Outcome::kHelp ? UsageForBox() : text;
        delivery = Written(MessageBoxW(nullptr, Wide(boxed).c_str(), L"kawauo", MB_OK | icon) != 0);
    }
    if (delivery == Delivery::kFailed && !refused) *status = 1;
    return outcome;
}

}  // namespace win32
