// The game's files as this system gives them: opened without waiting on them,
// regular files only, bounded in size; and why a file was refused.
#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace winapi {

// No file the game reads (a picture, a recording, a script) comes near this.
constexpr int64_t kMaxReadBytes = int64_t{64} << 20;

// Why a file was refused; an unreadable one keeps the system's error number,
// so that the player reads why (permission denied, a loop of links, ...).
struct FileProblem {
    enum Kind { kNone, kMissing, kNotRegular, kUnreadable, kTooLarge, kNotBmp, kOverBudget };
    FileProblem(Kind k = kNone, int e = 0) : kind(k), error(e) {}
    bool operator==(Kind other) const { return kind == other; }
    Kind kind;
    int error;  // errno of a kUnreadable file, 0 when the system gave none
};

// What a player reads after "cannot use FILE: ": the system's own words for
// an unreadable file, ours for the rest.
const char* ProblemText(FileProblem problem);

// Every name is kept as UTF-8 text; these make it a path of this system and
// back. (std::filesystem takes a narrow string in the C library's code page
// on Windows, where no Japanese name survives it.)
std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& path);

// The game's "bmp\\name.bmp" (CP932, backslashes) as a path for this system.
std::string NativePath(const char* name);

// `path` opened for reading in binary: a FIFO, a device or a folder never
// blocks the open and is refused as kNotRegular, a file over kMaxReadBytes as
// kTooLarge, before a byte is read. Null with *problem set on refusal.
std::FILE* OpenForReading(const std::string& path, FileProblem* problem);

// Asks the system to put what `file` holds on the disk; false when it could not.
bool SyncToDisk(std::FILE* file);

// The rest of an open file, standard input too, up to kMaxReadBytes: a pipe
// is read to its end, so its size is known only then. kTooLarge past the
// limit, kUnreadable when a read fails (errno says why); *bytes empty then.
bool ReadToEnd(std::FILE* file, std::vector<uint8_t>* bytes, FileProblem* problem);

// The whole of `path`, opened as above.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, FileProblem* problem);

// The folders the program looked in for its pictures, best first, as the
// start-up chose among them: named in every file report.
void SetSearchedFolders(const std::vector<std::string>& folders);
// "kawauo: cannot use PATH: WHY (working folder ...; folders searched ...)"
// on standard error.
void ReportFileProblem(const std::string& path, FileProblem problem);

}  // namespace winapi
