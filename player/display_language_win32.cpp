// The display's language on Windows: the one the user chose for the
// system's menus and messages.
#include <windows.h>

#include "player/display_language.h"

namespace player {

winapi::texts::Language DisplayLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? winapi::texts::Language::kJapanese
                                                                      : winapi::texts::Language::kEnglish;
}

}  // namespace player
