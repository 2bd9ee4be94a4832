// The settings file on disk: read at start and read again before each save,
// which writes the game's changes into it whole where its symbolic links
// lead (the system's part, settings_file_posix.cpp or _win32.cpp, finds it
// and puts the new text in its place).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "player/output_file.h"
#include "player/settings.h"
#include "player/settings_file.h"
#include "winapi/files.h"
#include "winapi/told.h"

namespace player::settings {
namespace {

namespace fs = std::filesystem;

// As the game reads its files: a FIFO or a device in the file's place
// cannot hold the game, and is refused.
bool ReadText(const std::string& path, std::string* text, winapi::FileProblem* problem) {
    std::vector<uint8_t> bytes;
    if (!winapi::ReadWholeFile(path, &bytes, problem)) return false;
    text->assign(bytes.begin(), bytes.end());
    return true;
}

// A settings file kept elsewhere behind symbolic links stays there, and is
// made there when the last link's target is missing. (A loop of links ends
// on a link, which cannot be read.)
fs::path Target(const std::string& path) {
    fs::path at = winapi::PathOf(path);
    std::error_code error;
    for (int hop = 0; hop < 40 && fs::is_symlink(at, error); ++hop) {
        fs::path to = fs::read_symlink(at, error);
        if (error) break;
        at = to.is_absolute() ? to : at.parent_path() / to;
    }
    return at;
}

// The new text beside the file, made as every file the player keeps is (an
// existing file's mode is kept), then moved over it (or, not to `replace`,
// to its name only where nothing stands), the move on the disk.
bool WriteAtomically(const std::string& path, const std::string& text, bool replace, std::string* why) {
    std::string temporary;
    std::FILE* file = CreateFreshFile(path, &temporary);
    if (file == nullptr) {
        *why = "cannot write in " + winapi::Utf8Of(winapi::PathOf(path).parent_path()) + ": " + std::strerror(errno);
        return false;
    }
    bool written = KeepMode(path, file) && std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                   std::fflush(file) == 0 && winapi::SyncToDisk(file);
    int error = errno;
    written = std::fclose(file) == 0 && written;
    if (written && !RenameOutput(temporary, path, replace)) {
        written = false;
        error = errno;
    }
    if (!written) {
        std::error_code removed;
        fs::remove(winapi::PathOf(temporary), removed);
        *why = "cannot write " + path + ": " + std::strerror(error);
        return false;
    }
    return true;
}

bool MakeFolderOf(const std::string& path, std::string* why) {
    fs::path folder = winapi::PathOf(path).parent_path();
    std::error_code made;
    fs::create_directories(folder, made);
    if (made) *why = "cannot make the folder " + winapi::Utf8Of(folder) + ": " + made.message();
    return !made;
}

// Writes the changes between file.settings and `settings` into the file as
// it is on disk now; false with *why when it cannot or may not be written.
bool WriteChanges(const Settings& settings, const File& file, std::string* why) {
    if (!MakeFolderOf(file.path, why)) return false;
    const std::string target = winapi::Utf8Of(Target(file.path));
    std::string text;
    winapi::FileProblem problem = winapi::FileProblem::kNone;
    bool exists = ReadText(target, &text, &problem);
    if (!exists && problem != winapi::FileProblem::kMissing) {
        *why = target + ": cannot be read: " + winapi::ProblemText(problem);
        return false;
    }
    if (exists && ReadOnly(target)) {
        *why = target + " is read-only";
        return false;
    }
    std::string changed = Format(settings, file.settings, exists ? &text : nullptr, file.known);
    return changed == text || WriteAtomically(target, changed, true, why);
}

// A new file where none stands, not even a link to nowhere (the player's,
// to be written through by the first save); false with *why when it cannot
// be made, true when one is there.
bool WriteNew(const File& file, std::string* why) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(winapi::PathOf(file.path), error))) return true;
    if (!MakeFolderOf(file.path, why)) return false;
    if (WriteAtomically(file.path, NewFileText(file.settings), false, why)) return true;
    return fs::exists(fs::symlink_status(winapi::PathOf(file.path), error));  // made meanwhile
}

}  // namespace

Settings Load(const std::string& path, KeyKnown known, File* file) {
    *file = File{path, known, SystemDefaults()};
    if (path.empty()) return file->settings;
    std::string text;
    winapi::FileProblem why = winapi::FileProblem::kNone;
    if (!ReadText(path, &text, &why)) {
        // Nothing to lose; where players look for the file, it is made.
        if (why == winapi::FileProblem::kMissing && WrittenAtFirstStart()) WriteIfMissing(file);
        if (why == winapi::FileProblem::kMissing) return file->settings;
        winapi::Tell("kawauo: " + path + ": cannot be read: " + winapi::ProblemText(why));
        winapi::Tell("kawauo: using the default settings; " + path + " is left as it is");
        return file->settings;
    }
    Apply(text, file);
    return file->settings;
}

std::string MoveFormerFile(const std::string& path, const std::string& former) {
    std::error_code error;
    if (former.empty() || !fs::exists(fs::symlink_status(winapi::PathOf(former), error)) ||
        fs::exists(fs::symlink_status(winapi::PathOf(path), error)))
        return path;
    std::string why;
    if (MakeFolderOf(path, &why)) {
        if (RenameOutput(former, path, false)) {
            winapi::Tell("kawauo: the settings file is now " + path + " (moved from " + former + ")");
            return path;
        }
        why = std::strerror(errno);
    }
    winapi::Tell("kawauo: " + former + " cannot be moved to " + path + " (" + why +
                 "): it is read and saved where it is");
    return former;
}

bool WriteIfMissing(File* file) {
    std::string why;
    if (file->path.empty()) why = "no home folder is known";
    else if (WriteNew(*file, &why)) return true;
    winapi::Tell("kawauo: the settings file is not written: " + why);
    return false;
}

bool Save(const Settings& settings, File* file) {
    std::string why;
    if (file->path.empty()) why = "no home folder is known";
    else if (WriteChanges(settings, *file, &why)) {
        file->settings = settings;
        return true;
    }
    winapi::Tell("kawauo: the settings are not saved: " + why);
    return false;
}

}  // namespace player::settings
