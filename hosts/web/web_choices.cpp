// The page's choices: the query's options over the settings the page keeps
// (web_settings.cpp), as the desktop's command line over its settings file:
// the language and the text outline for the game, the scale mode for the
// page, the clock stopped while the page is away when asked; and the page's
// menu, whose changes are saved as the settings file's lines are.
#include <string>

#include "hosts/web/web_host.h"
#include "hosts/web/web_internal.h"
#include "player/settings.h"
#include "winapi/text.h"
#include "winapi/texts.h"

namespace {

struct Choices {
    bool players = false;  // a player's run, whose choices are kept; a script's keeps none
    player::settings::File file;
    player::settings::Settings saved = player::settings::Defaults();
};

Choices g_choices;

// The page's keys are its own and none can be bound: a key line is refused
// (and kept in the text, as every refused line is).
bool KeyKnown(const std::string&) { return false; }

}  // namespace

namespace web {

void UseChoices(const player::options::Options& chosen, bool playersRun) {
    g_choices.players = playersRun;
    if (playersRun)
        g_choices.saved = player::settings::Load(player::settings::DefaultPath(), KeyKnown, &g_choices.file);
    const winapi::texts::Language lang = chosen.lang.value_or(g_choices.saved.lang);
    const bool outline = chosen.outline || g_choices.saved.outline;
    winapi::texts::UseLanguage(lang);
    winapi::UseTextOutline(outline);
    PauseUnfocused(chosen.pauseUnfocused);
    const player::options::ScaleMode scale = chosen.scale.value_or(g_choices.saved.scale);
    UseScaleMode(scale);
    kawauo_web_choices(player::options::NameOf(lang), player::options::NameOf(scale), outline, playersRun);
}

}  // namespace web

// Read as the settings file's line "name = value" would be; the outline and
// the scale change at once, the language with the next game.
bool kawauo_choose(const char* name, const char* value) {
    if (!g_choices.players) return false;
    player::settings::Settings next = g_choices.saved;
    if (!player::settings::Parse(std::string(name) + " = " + value, KeyKnown, &next, nullptr)) return false;
    if (std::string(name) == "outline") winapi::UseTextOutline(next.outline);
    if (std::string(name) == "scale") web::UseScaleMode(next.scale);
    const bool saved = player::settings::Save(next, &g_choices.file);
    g_choices.saved = next;
    return saved;
}
