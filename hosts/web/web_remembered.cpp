// What the page remembers: the query's options over the settings the page
// keeps (web_settings.cpp), as the desktop's command line over its settings
// file, remembered by the core; the scale mode is the page's to apply, and
// the page's menu changes a setting as the settings file's line would.
#include <string>

#include "hosts/core/remembered.h"
#include "hosts/web/web_host.h"
#include "hosts/web/web_internal.h"
#include "player/settings.h"

namespace web {

void UseChoices(const player::options::Options& chosen, bool playersRun) {
    const player::settings::Settings& saved =
        core::LoadSettings(playersRun ? player::settings::DefaultPath() : "", chosen);
    const auto scale = chosen.scale.value_or(saved.scale);
    UseScaleMode(scale);
    kawauo_web_choices(player::options::NameOf(chosen.lang.value_or(saved.lang)), player::options::NameOf(scale),
                       chosen.outline || saved.outline, playersRun);
}

}  // namespace web

// The outline and the scale change at once, the language with the next game.
bool kawauo_choose(const char* name, const char* value) {
    const bool saved = core::ChooseSetting(name, value);
    if (std::string(name) == "scale") web::UseScaleMode(core::SavedSettings().scale);
    return saved;
}
