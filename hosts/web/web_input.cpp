// The browser driver's keyboard, touch controls and gamepads, told to the
// core: keys by the names the settings file gives them (from the page's
// KeyboardEvent.code), touch controls as the game's keys, pads read
// through the Gamepad API's standard mapping by the roles of its buttons.
#include <cstring>
#include <string>

#include "hosts/core/driver.h"
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

// KeyboardEvent.code and the settings file's name of the same key, where
// the two differ beyond the rules of CodeOf (letters, digits, the keypad's
// digits, F-keys).
constexpr struct {
    const char* code;
    const char* name;
} kCodes[] = {
    {"Space", "Space"},
    {"Tab", "Tab"},
    {"Escape", "Escape"},
    {"Enter", "Return"},
    {"Backspace", "Backspace"},
    {"Insert", "Insert"},
    {"Delete", "Delete"},
    {"Home", "Home"},
    {"End", "End"},
    {"PageUp", "PageUp"},
    {"PageDown", "PageDown"},
    {"ArrowLeft", "Left"},
    {"ArrowUp", "Up"},
    {"ArrowRight", "Right"},
    {"ArrowDown", "Down"},
    {"ShiftLeft", "Left Shift"},
    {"ShiftRight", "Right Shift"},
    {"ControlLeft", "Left Ctrl"},
    {"ControlRight", "Right Ctrl"},
    {"AltLeft", "Left Alt"},
    {"AltRight", "Right Alt"},
    {"CapsLock", "CapsLock"},
    {"Comma", ","},
    {"Period", "."},
    {"Slash", "/"},
    {"Semicolon", ";"},
    {"Quote", "'"},
    {"BracketLeft", "["},
    {"BracketRight", "]"},
    {"Backslash", "\\"},
    {"Minus", "-"},
    {"Equal", "="},
    {"Backquote", "`"},
    {"NumpadDecimal", "Keypad ."},
    {"NumpadAdd", "Keypad +"},
    {"NumpadSubtract", "Keypad -"},
    {"NumpadMultiply", "Keypad *"},
    {"NumpadDivide", "Keypad /"},
    {"NumpadEnter", "Keypad Enter"},
};

struct Pad {
    bool connected = false;
    uint32_t buttons = 0;
    int stickX = 0;
    int stickY = 0;
};

Pad g_pads[kPads];

bool StartsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

bool Upper(const std::string& name) { return name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z'; }
bool Digit(const std::string& name) { return name.size() == 1 && name[0] >= '0' && name[0] <= '9'; }

// The settings file's name of a key by its code; empty for a key it has no name for.
std::string NameOf(const std::string& code) {
    if (StartsWith(code, "Key") && Upper(code.substr(3))) return code.substr(3);
    if (StartsWith(code, "Digit") && Digit(code.substr(5))) return code.substr(5);
    if (StartsWith(code, "Numpad") && Digit(code.substr(6))) return "Keypad " + code.substr(6);
    if (code.size() >= 2 && code.size() <= 3 && code[0] == 'F' && Digit(code.substr(1, 1))) return code;
    for (const auto& row : kCodes)
        if (code == row.code) return row.name;
    return {};
}

// The code of a key by the settings file's name (any case); empty for none.
std::string CodeOf(const std::string& name) {
    std::string upper = name;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (Upper(upper)) return "Key" + upper;
    if (Digit(upper)) return "Digit" + upper;
    if (StartsWith(upper, "KEYPAD ") && Digit(upper.substr(7))) return "Numpad" + upper.substr(7);
    for (int f = 1; f <= 24; ++f)
        if (upper == "F" + std::to_string(f)) return upper;
    for (const auto& row : kCodes) {
        std::string rowName = row.name;
        for (char& c : rowName)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (upper == rowName) return row.code;
    }
    return {};
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
