// The player's output files: what may stand at their places, which of them
// are the same file, and writing them beside their places until they are whole.
#include "player/output_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>
#include <system_error>

#include "player/options.h"
#include "winapi/files.h"

namespace player {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 100;  // fresh names tried for a file made beside its place
constexpr std::string_view kTemporaryMark = ".kawauo-";
constexpr size_t kSuffixLetters = 6;
constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// `path` against the working folder, which a program may leave later; false
// with why when the working folder is gone.
bool Absolute(std::string* path, std::string* why) {
    if (winapi::PathOf(*path).is_absolute()) return true;
    std::error_code error;
    const fs::path here = fs::current_path(error);
    if (error) {
        *why = "cannot tell which file it is: the working folder is gone (" + error.message() + "); give a full path";
        return false;
    }
    *path = winapi::Utf8Of(here / winapi::PathOf(*path));
    return true;
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::status(path, error));
}

// Whether two absolute paths name one file: by device and inode where it
// exists, else by the same name in the same folder.
bool Same(const fs::path& a, const fs::path& b) {
    const fs::path normalA = a.lexically_normal(), normalB = b.lexically_normal();
    const bool aThere = Exists(normalA), bThere = Exists(normalB);
    std::error_code error;
    if (aThere || bThere) return aThere && bThere && fs::equivalent(normalA, normalB, error);
    if (normalA.filename() != normalB.filename()) return false;
    if (normalA.parent_path() == normalA || normalB.parent_path() == normalB) return normalA == normalB;
    return Same(normalA.parent_path(), normalB.parent_path());
}

// What is wrong with writing `path` as `kind` says, "" when nothing is.
// `folderComing`: its folder is an output still to be made.
std::string PlaceProblem(const std::string& name, OutputKind kind, bool folderComing) {
    const fs::path path = winapi::PathOf(name);
    std::error_code error;
    const fs::file_status place = fs::symlink_status(path, error);
    if (error && place.type() != fs::file_type::not_found) return "cannot look at it: " + error.message();
    const fs::file_status target = fs::status(path, error);
    if (fs::exists(place) && kind == OutputKind::kFolder) return fs::is_directory(target) ? "" : "not a folder";
    if (fs::exists(place) && !fs::is_regular_file(target)) {
        return "not a regular file: nothing is written through a device, a FIFO, a folder or a broken link";
    }
    if (fs::exists(place) && kind == OutputKind::kKept) {
        return "already exists, and a recording is never written over: remove it first, or name another file";
    }
    if (fs::exists(place) && kind == OutputKind::kRemade && ReadOnlyFile(name)) {
        return "read-only: the player keeps it as it is; make it writable, or name another file";
    }
    const std::string part = PartPathOf(name);
    if (kind == OutputKind::kKept && fs::exists(fs::symlink_status(winapi::PathOf(part), error))) {
        return options::ShownPath(winapi::Utf8Of(winapi::PathOf(part).filename())) +
               " already exists beside it (what a run cut short left?): rename or remove it first";
    }
    if (fs::exists(place) || kind == OutputKind::kFolder || folderComing) return "";
    const fs::path folder = path.parent_path();
    if (fs::is_directory(folder, error)) return "";
    return "its folder " + options::ShownPath(winapi::Utf8Of(folder)) +
           (Exists(folder) ? " is not a folder" : " does not exist");
}

// The files an output stands for: itself, and a kept file's part.
std::vector<std::string> NamesOf(const NamedFile& output) {
    if (output.kind == OutputKind::kKept) return {output.path, PartPathOf(output.path)};
    return {output.path};
}

std::string Describe(const NamedFile& file, const std::string& name, const std::string& given) {
    return file.option + " " + options::ShownPath(given) +
           (name == file.path ? "" : " (written as " + options::ShownPath(PartPathOf(given)) + ")");
}

// Which of the first `count` of `files` (as given, and made absolute) is
// the file `name`, described for a message; "" when none.
std::string SameAs(const std::string& name, const std::vector<NamedFile>& given, const std::vector<NamedFile>& absolute,
                   size_t count) {
    for (size_t i = 0; i < count; ++i) {
        for (const std::string& other : NamesOf(absolute[i])) {
            if (!absolute[i].path.empty() && Same(winapi::PathOf(name), winapi::PathOf(other)))
                return Describe(absolute[i], other, given[i].path);
        }
    }
    return "";
}

void RemoveFile(const std::string& path) {
    std::error_code error;
    fs::remove(winapi::PathOf(path), error);
}

std::string FreshSuffix() {
    static std::mt19937 random{std::random_device{}()};
    std::string suffix;
    for (size_t i = 0; i < kSuffixLetters; ++i) suffix += kLetters[random() % kLetters.size()];
    return suffix;
}

// `name` cut to `most` bytes at most, between characters.
std::string Cut(const std::string& name, size_t most) {
    size_t end = std::min(name.size(), most);
    while (end > 0 && end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    return name.substr(0, end);
}

// The file name a temporary file of `place` starts with: ".NAME.kawauo-".
std::string TemporaryStem(const fs::path& place) {
    const size_t most = kLongestName - 1 - kTemporaryMark.size() - kSuffixLetters;
    return "." + Cut(winapi::Utf8Of(place.filename()), most) + std::string(kTemporaryMark);
}

bool IsTemporaryOf(const std::string& name, const std::string& stem) {
    return name.size() == stem.size() + kSuffixLetters && name.compare(0, stem.size(), stem) == 0 &&
           name.find_first_not_of(kLetters, stem.size()) == std::string::npos;
}

}  // namespace

std::string CheckOutputs(std::vector<NamedFile>* outputs, const std::vector<NamedFile>& inputs) {
    const std::vector<NamedFile> given = *outputs;
    for (size_t i = 0; i < outputs->size(); ++i) {
        std::string why;
        if (!Absolute(&(*outputs)[i].path, &why))
            return given[i].option + " " + options::ShownPath(given[i].path) + ": " + why;
    }
    std::vector<NamedFile> inputsAbsolute = inputs;
    for (NamedFile& input : inputsAbsolute) {
        std::string why;
        if (!Absolute(&input.path, &why)) input.path.clear();  // read already: nothing is written there
    }
    for (size_t i = 0; i < outputs->size(); ++i) {
        const NamedFile& output = (*outputs)[i];
        bool folderComing = false;
        for (const NamedFile& other : *outputs) {
            folderComing =
                folderComing || (other.kind == OutputKind::kFolder && &other != &output &&
                                 Same(winapi::PathOf(output.path).parent_path(), winapi::PathOf(other.path)));
        }
        std::string why = PlaceProblem(output.path, output.kind, folderComing);
        for (const std::string& name : NamesOf(output)) {
            if (!why.empty()) break;
            std::string other = SameAs(name, inputs, inputsAbsolute, inputs.size());
            if (other.empty()) other = SameAs(name, given, *outputs, i);
            if (!other.empty()) why = "the same file as " + other;
        }
        if (!why.empty()) return given[i].option + " " + options::ShownPath(given[i].path) + ": " + why;
    }
    return "";
}

std::string PartPathOf(const std::string& path) {
    const std::string_view kPart = ".part";
    const fs::path place = winapi::PathOf(path);
    const std::string name = Cut(winapi::Utf8Of(place.filename()), kLongestName - kPart.size());
    return winapi::Utf8Of(place.parent_path() / winapi::PathOf(name + std::string(kPart)));
}

std::FILE* CreateFreshFile(const std::string& place, std::string* name) {
    const fs::path at = winapi::PathOf(place);
    const std::string stem = TemporaryStem(at);
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        *name = winapi::Utf8Of(at.parent_path() / winapi::PathOf(stem + FreshSuffix()));
        file = CreateNewFile(*name);
        if (file != nullptr || errno != EEXIST) break;
    }
    if (file != nullptr && !HoldFile(file)) {
        const int error = errno;
        std::fclose(file);
        RemoveFile(*name);
        errno = error;
        return nullptr;
    }
    return file;
}

void RemoveStaleTemporaries(const std::string& place) {
    const fs::path at = winapi::PathOf(place);
    const std::string stem = TemporaryStem(at);
    std::error_code error;
    for (fs::directory_iterator entry(at.parent_path(), error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = winapi::Utf8Of(entry->path().filename());
        if (IsTemporaryOf(name, stem)) RemoveUnheld(winapi::Utf8Of(entry->path()));
    }
}

bool OpenOutput(const std::string& path, OutputKind kind, OutputFile* output, std::string* why) {
    *output = OutputFile{path, "", kind, nullptr};
    *why = PlaceProblem(path, kind, false);
    if (!why->empty()) return false;
    std::error_code error;
    if (kind == OutputKind::kRemade && fs::is_symlink(fs::symlink_status(winapi::PathOf(path), error))) {
        output->path = winapi::Utf8Of(fs::canonical(winapi::PathOf(path), error));  // a file kept elsewhere stays there
    }
    if (kind == OutputKind::kKept) {
        output->partPath = PartPathOf(path);
        output->stream = CreateNewFile(output->partPath);
    }
    if (kind == OutputKind::kRemade) {
        RemoveStaleTemporaries(output->path);
        output->stream = CreateFreshFile(output->path, &output->partPath);
    }
    if (output->stream == nullptr) {
        *why = "cannot make " + options::ShownPath(output->partPath) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool PlaceOutput(OutputFile* output, std::string* why) {
    std::FILE* stream = output->stream;
    output->stream = nullptr;
    if (!StillNamed(stream, output->partPath)) {
        std::fclose(stream);
        *why = options::ShownPath(output->partPath) +
               " was moved or removed while it was written: nothing is kept under that name";
        return false;
    }
    // A write that failed earlier left its mark on the stream, not in errno.
    int error = std::fflush(stream) != 0 || std::ferror(stream) ? (errno != 0 ? errno : EIO) : 0;
    if (!winapi::SyncToDisk(stream) && error == 0) error = errno;
    if (std::fclose(stream) != 0 && error == 0) error = errno;
    const bool kept = output->kind == OutputKind::kKept;
    if (error != 0) {
        if (!kept) RemoveFile(output->partPath);
        *why = "cannot write it whole (" + std::string(std::strerror(error)) + "): " +
               (kept ? "what it holds is in " + options::ShownPath(output->partPath)
                     : options::ShownPath(output->path) + " is left as it was");
        return false;
    }
    std::string problem = kept ? "" : PlaceProblem(output->path, output->kind, false);
    if (problem.empty() && !RenameOutput(output->partPath, output->path, !kept)) {
        problem = errno == EEXIST ? "it was made by something else during the run" : std::strerror(errno);
    }
    if (problem.empty()) return true;
    *why = "not put in place (" + problem + "): what was written is in " + options::ShownPath(output->partPath);
    return false;
}

void DropOutput(OutputFile* output) {
    if (output->stream == nullptr) return;
    std::fclose(output->stream);
    output->stream = nullptr;
    RemoveFile(output->partPath);
}

}  // namespace player
