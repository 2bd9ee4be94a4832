// The game's files: the C runtime's access for its backslash-separated names,
// whole-file reads, and the report a player reads when a file is refused.
#include "winapi/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "winapi/cp932.h"
#include "winapi/told.h"
#include "winapi/win.h"

namespace {

std::vector<std::string> g_searchedFolders;

bool Failed(winapi::FileProblem why, std::vector<uint8_t>* bytes, winapi::FileProblem* problem) {
    bytes->clear();
    bytes->shrink_to_fit();
    *problem = why;
    return false;
}

}  // namespace

namespace winapi {

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string NativePath(const char* name) {
    if (name == nullptr) return std::string();
    // Decoded first: a trail byte of a double-byte character may be 0x5C,
    // and only real separators become '/'.
    std::string path = Cp932ToUtf8(name, std::strlen(name));
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

const char* ProblemText(FileProblem problem) {
    if (problem == FileProblem::kUnreadable && problem.error != 0) return std::strerror(problem.error);
    switch (problem.kind) {
        case FileProblem::kNone: return "no problem";
        case FileProblem::kMissing: return "missing";
        case FileProblem::kNotRegular: return "not a regular file";
        case FileProblem::kUnreadable: return "unreadable";
        case FileProblem::kTooLarge: return "too large";
        case FileProblem::kNotBmp: return "not a BMP picture this game reads";
        case FileProblem::kOverBudget: return "over the budget for all pictures together";
    }
    return "unknown";
}

bool ReadToEnd(std::FILE* file, std::vector<uint8_t>* bytes, FileProblem* problem) {
    bytes->clear();
    // A file's size, where it has one, is room made once; it is no promise:
    // the file may change under us, and nothing past the limit is taken.
    const long here = std::ftell(file);
    if (here >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        if (std::fseek(file, here, SEEK_SET) != 0) return Failed(FileProblem::kUnreadable, bytes, problem);
        if (end > here) bytes->reserve(static_cast<size_t>(std::min<int64_t>(end - here, kMaxReadBytes)));
    }
    std::clearerr(file);
    uint8_t chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 &&
           bytes->size() + got <= static_cast<size_t>(kMaxReadBytes))
        bytes->insert(bytes->end(), chunk, chunk + got);
    if (got > 0) return Failed(FileProblem::kTooLarge, bytes, problem);
    if (std::ferror(file)) return Failed(FileProblem(FileProblem::kUnreadable, errno), bytes, problem);
    *problem = FileProblem::kNone;
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, FileProblem* problem) {
    bytes->clear();
    std::FILE* file = OpenForReading(path, problem);
    if (file == nullptr) return false;
    const bool whole = ReadToEnd(file, bytes, problem);
    std::fclose(file);
    return whole;
}

void SetSearchedFolders(const std::vector<std::string>& folders) { g_searchedFolders = folders; }

void ReportFileProblem(const std::string& path, FileProblem problem) {
    std::error_code error;
    const std::string here = Utf8Of(std::filesystem::current_path(error));
    std::string searched;
    for (const std::string& folder : g_searchedFolders) searched += (searched.empty() ? "" : ", ") + folder;
    Tell("kawauo: cannot use " + path + ": " + ProblemText(problem) + " (working folder " + here +
         (searched.empty() ? "" : "; picture folders searched: " + searched) + ")");
}

}  // namespace winapi

FILE* OpenGameFile(const char* name, const char* mode) {
    if (name == nullptr || mode == nullptr) return nullptr;
    const std::string path = winapi::NativePath(name);
    if (mode[0] != 'r') return std::fopen(path.c_str(), mode);
    winapi::FileProblem problem;
    return winapi::OpenForReading(path, &problem);
}
