// The browser driver's keyboard, touch controls and gamepads, told to the
// core: keys by the names the settings file gives them (from the page's
// KeyboardEvent.code), touch controls as the game's keys, pads read
// through the Gamepad API's standard mapping by the roles of its buttons.
#include <cstring>
#include <string>

#include "hosts/core/driver.h"
#include "hosts/core/key_table.h"
#include "hosts/core/remembered.h"
#include "hosts/web/web_internal.h"
#include "player/key_names.h"

namespace {

constexpr int kPads = 4;  // the Gamepad API's usual slots

// Buttons of the standard mapping, by their numbers in it.
constexpr struct {
    uint32_t bit;
    core::PadRole role;
} kRoles[] = {
    {1u << 0, core::kPadSouth}, {1u << 1, core::kPadEast},   {1u << 2, core::kPadWest},   {1u << 3, core::kPadNorth},
    {1u << 8, core::kPadBack},  {1u << 9, core::kPadStart},  {1u << 12, core::kPadUp},    {1u << 13, core::kPadDown},
    {1u << 14, core::kPadLeft}, {1u << 15, core::kPadRight}, {1u << 16, core::kPadGuide},
};

struct Pad {
    bool connected = false;
    uint32_t buttons = 0;
    int stickX = 0;
    int stickY = 0;
};

Pad g_pads[kPads];

// The settings file's name of a key by its code; empty for a key it has no name for.
std::string NameOf(const std::string& code) {
    const core::KeyRow* key = core::KeyByCode(code);
    return key != nullptr ? key->name : std::string();
}

// The code of a key by the settings file's name (any case); empty for none.
std::string CodeOf(const std::string& name) {
    const core::KeyRow* key = core::KeyByName(name);
    return key != nullptr ? key->code : std::string();
}

void Translate(int kind, const std::string& name) {
    switch (kind) {
        case web::kKeyDown:
        case web::kKeyUp: {
            const std::string key = NameOf(name);
            if (!key.empty())
                core::Hear(
                    core::RawEvent{.kind = core::RawKind::kKey, .down = kind == web::kKeyDown, .key = key.c_str()});
            return;
        }
        case web::kControlDown:
        case web::kControlUp: {
            const int virtualKey = player::VirtualKeyNamed(name);
            if (virtualKey != 0)
                core::Hear(core::RawEvent{
                    .kind = core::RawKind::kGameKey, .down = kind == web::kControlDown, .virtualKey = virtualKey});
            return;
        }
        case web::kFocusLost:
        case web::kFocusGained:
            core::Hear(core::RawEvent{.kind = core::RawKind::kFocus, .down = kind == web::kFocusGained});
            return;
        default: return;
    }
}

// A pad is told when it changes: by role, or gone when unplugged.
void ReadPads() {
    for (int i = 0; i < kPads; ++i) {
        Pad now;
        now.connected = kawauo_web_pad(i, &now.buttons, &now.stickX, &now.stickY);
        Pad& last = g_pads[i];
        const bool same = now.connected == last.connected && now.buttons == last.buttons && now.stickX == last.stickX &&
                          now.stickY == last.stickY;
        if (same) continue;
        last = now;
        if (!now.connected) {
            core::Hear(core::RawEvent{.kind = core::RawKind::kPadGone, .pad = i});
            continue;
        }
        uint32_t roles = 0;
        for (const auto& row : kRoles)
            if ((now.buttons & row.bit) != 0) roles |= row.role;
        core::Hear(core::RawEvent{
            .kind = core::RawKind::kPad, .pad = i, .roles = roles, .stickX = now.stickX, .stickY = now.stickY});
    }
}

}  // namespace

namespace web {

void PollInput(bool withPads) {
    int kind = 0;
    char name[32];
    while (kawauo_web_next_input(&kind, name, sizeof name)) Translate(kind, name);
    if (withPads) ReadPads();
}

bool KeyNameKnown(const std::string& name) { return !CodeOf(name).empty(); }

void TellPageTheKeys() {
    std::string codes;
    for (const auto& names : core::SavedSettings().keys)
        for (const std::string& name : names) codes += CodeOf(name) + " ";
    kawauo_web_keys(codes.c_str());
}

}  // namespace web
