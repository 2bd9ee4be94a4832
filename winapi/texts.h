// The language of the game's texts and of the lettering in its pictures,
// chosen once by the host before WinMain.
#pragma once
#include <string>

namespace winapi::texts {

enum class Language { kJapanese, kEnglish };
constexpr int kLanguageCount = 2;

// Every Text reads this language from then on; Japanese until it is called.
void UseLanguage(Language language);
Language CurrentLanguage();

// A picture's form in the chosen language: "dir/en/name.bmp" beside
// "dir/name.bmp" for English, where one exists (lettering drawn into the
// picture); otherwise `path` itself.
std::string PictureInLanguage(const std::string& path);

// One of the game's texts: its CP932 bytes in each language (made by
// kawauo-texts), read as a C string in the chosen one. Built at compile
// time, so tables of texts hold it before the language is chosen.
class Text {
public:
    constexpr Text(const char* japanese, const char* english) : forms_{japanese, english} {}
    operator const char*() const { return forms_[static_cast<int>(CurrentLanguage())]; }

private:
    const char* forms_[kLanguageCount];
};

}  // namespace winapi::texts
