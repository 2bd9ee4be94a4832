// The pictures folder named in the desktop's user-dirs.dirs: a shell file of
// XDG_NAME_DIR="$HOME/..." or ="/..." lines, written by the desktop.
#include "player/user_dirs.h"

#include "player/options.h"

#include <cstdlib>
#include <string_view>
#include <vector>

#include "winapi/files.h"

namespace player {
namespace {

constexpr std::string_view kName = "XDG_PICTURES_DIR";
constexpr std::string_view kHome = "$HOME";
constexpr std::string_view kEscaped = "$`\"\\";  // what a backslash keeps as it is in double quotes

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

// What lies before the closing quote of `text`, a backslash there taking the
// next $, `, " or \ as it is, as in the shell's double quotes; false when no
// quote closes it.
bool Unquote(std::string_view text, std::string* value) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') return true;
        if (text[i] == '\\' && i + 1 < text.size() && kEscaped.find(text[i + 1]) != std::string_view::npos) ++i;
        value->push_back(text[i]);
    }
    return false;
}

// `path` with one slash between its names and none after the last.
std::string Tidied(const std::string& path) {
    std::string tidy;
    for (char c : path)
        if (c != '/' || tidy.empty() || tidy.back() != '/') tidy.push_back(c);
    if (tidy.size() > 1 && tidy.back() == '/') tidy.pop_back();
    return tidy;
}

// The folder one line names, or empty.
std::string FolderOn(std::string_view line, const std::string& home) {
    line = SkipBlanks(line);
    if (line.substr(0, kName.size()) != kName) return {};
    line = SkipBlanks(line.substr(kName.size()));
    if (line.empty() || line.front() != '=') return {};
    line = SkipBlanks(line.substr(1));
    if (line.empty() || line.front() != '"') return {};
    line.remove_prefix(1);
    const bool inHome = line.substr(0, kHome.size()) == kHome && line.size() > kHome.size() &&
                        (line[kHome.size()] == '/' || line[kHome.size()] == '"');
    if (inHome) line.remove_prefix(kHome.size());
    else if (line.empty() || line.front() != '/') return {};
    std::string value = inHome ? home : "";
    if ((inHome && home.empty()) || !Unquote(line, &value)) return {};
    return Tidied(value);
}

}  // namespace

std::string PicturesFolderIn(const std::string& text, const std::string& home) {
    std::string folder;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string named = FolderOn(rest.substr(0, end), home);
        if (!named.empty()) folder = named;
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return folder;
}

bool PicturesFolderOfDesktop(const std::string& home, std::string* folder, std::string* why) {
    folder->clear();
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string path;
    if (config != nullptr && config[0] == '/') path = std::string(config) + "/user-dirs.dirs";
    else if (!home.empty()) path = home + "/.config/user-dirs.dirs";
    else return true;
    std::vector<uint8_t> bytes;
    winapi::FileProblem problem;
    if (winapi::ReadWholeFile(path, &bytes, &problem))
        *folder = PicturesFolderIn(std::string(bytes.begin(), bytes.end()), home);
    else if (problem != winapi::FileProblem::kMissing) {
        *why = "cannot read " + options::ShownPath(path) + ": " + winapi::ProblemText(problem);
        return false;
    }
    return true;
}

}  // namespace player
