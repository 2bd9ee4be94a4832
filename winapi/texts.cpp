// The language of the game's texts, chosen once by the host before WinMain.
#include "winapi/texts.h"

#include <filesystem>
#include <system_error>

namespace winapi::texts {
namespace {

Language chosen = Language::kJapanese;

}  // namespace

void UseLanguage(Language language) { chosen = language; }

Language CurrentLanguage() { return chosen; }

std::string PictureInLanguage(const std::string& path) {
    if (chosen == Language::kJapanese) return path;
    const std::filesystem::path japanese(path);
    const std::filesystem::path english = japanese.parent_path() / "en" / japanese.filename();
    std::error_code error;
    return std::filesystem::exists(english, error) ? english.string() : path;
}

}  // namespace winapi::texts
