// The display's language on POSIX systems and in the browser, from the
// locale variables as the C library reads them for messages.
#include <cstdlib>
#include <string_view>

#include "player/display_language.h"

namespace player {
namespace {

// "ja", "ja_JP.UTF-8", "ja-JP" (a browser's), "ja@cjknarrow".
bool NamesJapanese(std::string_view locale) {
    return locale.substr(0, 2) == "ja" &&
           (locale.size() == 2 || std::string_view("_.-@").find(locale[2]) != std::string_view::npos);
}

// C and POSIX (also C.UTF-8) are the system's own messages, no language chosen.
bool NamesNoLanguage(std::string_view locale) {
    return locale == "C" || locale == "POSIX" || locale.substr(0, 2) == "C.";
}

}  // namespace

winapi::texts::Language DisplayLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || value[0] == '\0') continue;
        const std::string_view locale = value;
        return NamesJapanese(locale) || NamesNoLanguage(locale) ? winapi::texts::Language::kJapanese
                                                                : winapi::texts::Language::kEnglish;
    }
    return winapi::texts::Language::kJapanese;
}

}  // namespace player
