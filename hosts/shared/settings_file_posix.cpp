// The settings file on disk: found by the XDG rules, read once at start,
// written whole through a temporary file and a rename, never over a file
// that could not be read.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "hosts/shared/settings.h"
#include "winapi/files.h"

namespace settings {
namespace {

namespace fs = std::filesystem;

bool WriteAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A settings file kept elsewhere behind a symbolic link stays there.
fs::path Target(const std::string& path) {
    std::error_code error;
    fs::path target = fs::canonical(path, error);
    return error ? fs::path(path) : target;
}

// The new file keeps the old one's permissions.
mode_t ModeFor(const fs::path& path) {
    struct stat old {};
    return stat(path.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644;
}

// The rename itself is made lasting by syncing the folder that holds it.
void SyncFolder(const fs::path& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool WriteAtomically(const fs::path& path, const std::string& text, std::string* why) {
    fs::path folder = path.parent_path();
    std::error_code made;
    fs::create_directories(folder, made);
    if (made) {
        *why = "cannot make the folder " + folder.string() + ": " + made.message();
        return false;
    }
    std::string temporary = path.string() + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        *why = "cannot write in " + folder.string() + ": " + std::strerror(errno);
        return false;
    }
    bool written = fchmod(fd, ModeFor(path)) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
    int error = errno;
    written = close(fd) == 0 && written;
    if (written && rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        *why = "cannot write " + path.string() + ": " + std::strerror(error);
        return false;
    }
    SyncFolder(folder);
    return true;
}

Settings Refuse(File* file) {
    file->writable = false;
    std::fprintf(stderr, "kawauo: using the default settings; %s is left as it is\n", file->path.c_str());
    return Defaults();
}

}  // namespace

std::string DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/kawauo/settings";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/kawauo/settings";
    return {};
}

Settings Load(const std::string& path, KeyKnown known, File* file) {
    *file = File{path, {}, true};
    Settings settings = Defaults();
    if (path.empty()) return settings;
    // Read as the game reads its files: a FIFO or a device in its place
    // cannot hold the start.
    std::vector<uint8_t> bytes;
    platform::FileProblem why;
    if (!platform::ReadWholeFile(path, &bytes, &why)) {
        if (why == platform::FileProblem::kMissing) return settings;  // nothing to lose
        std::fprintf(stderr, "kawauo: %s: cannot be read: %s\n", path.c_str(), platform::ProblemText(why));
        return Refuse(file);
    }
    file->text.assign(bytes.begin(), bytes.end());
    Problem problem;
    if (!Parse(file->text, known, &settings, &problem)) {
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), problem.line, problem.what.c_str());
        return Refuse(file);
    }
    return settings;
}

bool Save(const Settings& settings, File* file) {
    std::string why;
    if (file->path.empty()) why = "no home folder is known";
    else if (!file->writable) why = file->path + " could not be read, and is kept as it is";
    else {
        std::string text = Format(settings, file->text);
        if (WriteAtomically(Target(file->path), text, &why)) {
            file->text = text;
            return true;
        }
    }
    std::fprintf(stderr, "kawauo: the settings are not saved: %s\n", why.c_str());
    return false;
}

}  // namespace settings
