// The files a player asks a program to write (a recording, a trace, the
// sim's shots): checked before the run, written beside their place and put
// there whole at the end, never through a device, a FIFO or a folder.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace player {

// What an output is, which says what may stand at its place.
enum class OutputKind {
    // A file kept once made (a recording): nothing may stand at PATH nor at
    // PATH.part, where it is written as it goes, so that a run cut short
    // leaves it there; at the end it becomes PATH, unless something has
    // taken that name meanwhile.
    kKept,
    // A file made again from its run (a trace, a shot): a regular file at
    // PATH (or behind a symbolic link there) is replaced at the end; until
    // then it is written under a fresh name beside it, PATH.XXXXXX.
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

// A new file for writing named `base` and a fresh suffix (".XXXXXX"), made
// as CreateNewFile makes it; its name in *name. nullptr with errno set.
std::FILE* CreateFreshFile(const std::string& base, std::string* name);

// The system's part (output_file_posix.cpp, output_file_win32.cpp): a new
// file made at `path` for writing, never over anything standing there
// (nullptr with errno set); and `part` renamed to `path`, over a regular
// file there only when `replace` (false with errno set).
std::FILE* CreateNewFile(const std::string& path);
bool RenameOutput(const std::string& part, const std::string& path, bool replace);

}  // namespace player
