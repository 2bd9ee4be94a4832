// The language of the game's texts, chosen once by the host before WinMain.
#include "platform/language.h"

namespace texts {
namespace {

Language chosen = Language::kJapanese;

}  // namespace

void UseLanguage(Language language) { chosen = language; }

Language CurrentLanguage() { return chosen; }

}  // namespace texts
