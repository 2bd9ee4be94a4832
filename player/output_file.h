// The files a player asks a program to write (a recording, a trace, the
// sim's shots): checked before the run, written beside their place and put
// there whole at the end, never through a device, a FIFO or a folder.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace player {

// What an output is, which says what may stand at its place.
enum class OutputKind {
    // A file kept once made (a recording): nothing may stand at PATH nor at
    // its part (PartPathOf), where it is written as it goes, so that a run
    // cut short leaves it there; at the end it becomes PATH, unless something
    // has taken that name meanwhile.
    kKept,
    // A file made again from its run (a trace, a shot): a regular file at
    // PATH (or behind a symbolic link there) is replaced at the end, unless
    // the player made it read-only; until then it is written under a
    // temporary name beside it (CreateFreshFile).
    kRemade,
    // A folder the run writes its files in (the sim's shots): made, with its
    // parents, when absent.
    kFolder,
};

// A file named on the command line: the option naming it (for messages),
// its path, and for an output what it is.
struct NamedFile {
    std::string option;  // "--record"
    std::string path;
    OutputKind kind = OutputKind::kRemade;
};

// Checks every output before anything is made: its place holds nothing, or
// what its kind allows; its folder exists (for a file in a kFolder output,
// that one may be still to make); it is not the same file as another output
// or an input (by device and inode, or for a file not yet made by its folder's
// and its name). Each path becomes absolute, so that it still names the same
// file after the program enters another folder. "" when all is well, else
// "OPTION PATH: why" for the first output refused.
std::string CheckOutputs(std::vector<NamedFile>* outputs, const std::vector<NamedFile>& inputs);

// An output file being written.
struct OutputFile {
    std::string path;      // its place (a symbolic link's target when one stood there)
    std::string partPath;  // where it is written until it is put there
    OutputKind kind = OutputKind::kRemade;
    std::FILE* stream = nullptr;
};

// Makes the file a kKept or kRemade output at `path` is written as, after
// checking its place again (so it may be used alone): never opening what
// stands there. False with why (no "OPTION PATH: " before it).
bool OpenOutput(const std::string& path, OutputKind kind, OutputFile* output, std::string* why);
// Puts everything written on the disk, closes it and puts it in its place.
// False with why, naming what is left: a kept file's part stays with all it
// holds; a remade file's part is removed when it was not written whole.
bool PlaceOutput(OutputFile* output, std::string* why);
// Closes and removes what was written: nothing is left of the output.
void DropOutput(OutputFile* output);

// The longest name of one file a system takes, in bytes (NAME_MAX).
constexpr size_t kLongestName = 255;

// Where a kept file at `path` is written as it goes: PATH.part, its name cut
// (between characters) where PATH.part would be longer than kLongestName.
std::string PartPathOf(const std::string& path);

// A new file for writing beside `place`, under a temporary name of the
// game's own: ".NAME.kawauo-XXXXXX" in its folder (NAME cut to fit
// kLongestName), made as CreateNewFile makes it and held so that
// RemoveStaleTemporaries sees it is in use; its name in *name. nullptr with
// errno set.
std::FILE* CreateFreshFile(const std::string& place, std::string* name);

// Removes the temporary files that CreateFreshFile made for `place` and
// that no program holds any more (left by a run that was killed): only
// those, never another file of the folder.
void RemoveStaleTemporaries(const std::string& place);

// The system's part (output_file_posix.cpp, output_file_win32.cpp): a new
// file made at `path` for writing, never over anything standing there
// (nullptr with errno set); `part` renamed to `path`, over a regular file
// there only when `replace` (false with errno set); a file made by
// CreateNewFile held for as long as it is open, and the file at `path`
// removed when nothing holds it; and whether the player made the file at
// `path` read-only.
std::FILE* CreateNewFile(const std::string& path);
bool RenameOutput(const std::string& part, const std::string& path, bool replace);
bool HoldFile(std::FILE* file);
bool RemoveUnheld(const std::string& path);
bool ReadOnlyFile(const std::string& path);
// Whether `file`, open, is still the file named `path` (not moved or removed).
bool StillNamed(std::FILE* file, const std::string& path);
// Cuts the open `file` back to its first `length` bytes (what was written
// whole before a write failed); false with errno set.
bool CutBack(std::FILE* file, uint64_t length);

}  // namespace player
