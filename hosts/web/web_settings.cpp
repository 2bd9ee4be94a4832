// The web page's settings file: the same text as the desktop's, kept in the
// browser's localStorage under the name DefaultPath gives and read and
// written through the page (library_choices.js) by the shared reader and
// writer, so that a line the page cannot read is said and kept as it is.
#include <cstdio>
#include <cstdlib>

#include "hosts/web/web_internal.h"
#include "player/settings.h"

namespace player::settings {
namespace {

// The text kept under `name`; false when there is none (or the browser keeps
// no localStorage for the page).
bool ReadText(const std::string& name, std::string* text) {
    int length = 0;
    char* kept = kawauo_web_settings_read(name.c_str(), &length);
    if (kept == nullptr) return false;
    text->assign(kept, static_cast<size_t>(length));
    std::free(kept);
    return true;
}

}  // namespace

std::string DefaultPath() { return "kawauo.settings"; }

Settings Load(const std::string& path, KeyKnown known, File* file) {
    *file = File{path, known, SystemDefaults()};
    std::string text;
    if (!ReadText(path, &text)) return file->settings;
    Apply(text, file);
    return file->settings;
}

// Read again first: another tab of the page may have saved meanwhile.
bool Save(const Settings& settings, File* file) {
    std::string text;
    const bool exists = ReadText(file->path, &text);
    const std::string changed = Format(settings, file->settings, exists ? &text : nullptr, file->known);
    if (changed == text || kawauo_web_settings_write(file->path.c_str(), changed.data(), changed.size())) {
        file->settings = settings;
        return true;
    }
    std::fprintf(stderr, "kawauo: the settings are not saved: the browser keeps no localStorage for the page\n");
    return false;
}

}  // namespace player::settings
