// The settings file's place on POSIX systems: found by the XDG rules, its
// read-only mark and mode read from the file.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "player/settings_file.h"

namespace player::settings {

std::string DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/kawauo/settings";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/kawauo/settings";
    return {};
}

const char* DefaultFolderName() { return "home folder"; }

// The file has been where the XDG rules put it since the first version.
std::string FormerPath() { return {}; }

// The manual page says what the file holds; the first change writes it.
bool WrittenAtFirstStart() { return false; }

// A file with no write permission was made read-only by its owner: even the
// superuser, whom the system would let write it, leaves it as it is.
bool ReadOnly(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0);
}

// The new file was asked for with mode 0666, so that the umask gives a new
// settings file its mode; an existing file's mode is kept.
bool KeepMode(const std::string& path, std::FILE* fresh) {
    struct stat old {};
    return stat(path.c_str(), &old) != 0 || fchmod(fileno(fresh), old.st_mode & 07777) == 0;
}

}  // namespace player::settings
