// The player's keyboard and pads as the game's keys, for every driver.
//
// Keyboard: as the settings bind it; by default the arrows also on WASD and
// the keypad, F1-F3 also on 1-3 (many laptops need Fn for the F-keys).
// Pads: d-pad and left stick = arrows, south (A) and Start = SPACE, west
// (X) = F1, north (Y) = F2, east (B) = F3, Back = TAB, Guide = ESC.
#include "hosts/core/keys.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <map>
#include <vector>

#include "hosts/core/driver.h"
#include "hosts/core/key_merge.h"
#include "hosts/core/seam.h"
#include "winapi/win.h"

namespace core {
namespace {

constexpr PadButton kPadMap[] = {
    {kPadSouth, VK_SPACE}, {kPadStart, VK_SPACE}, {kPadWest, VK_F1},      {kPadNorth, VK_F2},
    {kPadEast, VK_F3},     {kPadBack, VK_TAB},    {kPadGuide, VK_ESCAPE}, {kPadLeft, VK_LEFT},
    {kPadRight, VK_RIGHT}, {kPadUp, VK_UP},       {kPadDown, VK_DOWN},
};

// A keyboard key standing for a game key; a key may stand for several.
struct Binding {
    std::string name;  // lower case
    int virtualKey;
};

// Between the merge and the game: what the game has been told since it
// last found no event waiting.
struct Taking {
    std::bitset<KeyMerge::kKeyCount> pressed;   // told down in this taking
    std::bitset<KeyMerge::kKeyCount> heldOver;  // let go since, told for the next
};

void Tell(int virtualKey, bool down);  // below: the merge tells the game through it

// A pad as the driver last told it, and as the merge takes it: after the
// focus went, what was held then counts again only once let go, and the
// stick once it moves.
struct Pad {
    PadState state;
    uint32_t roles = 0;
    int stickX = 0;
    int stickY = 0;
    uint32_t ignoredRoles = 0;
    bool stickIgnored = false;
};

struct Keys {
    bool bound = false;
    std::vector<Binding> bindings;
    KeyMerge merge{kPadMap, Tell};
    std::map<int, Pad> pads;
    Taking taking;
};

Keys g_keys;

// A release of a key pressed in this same taking waits for the next, and a
// new press before then takes its place: a tap shorter than a frame is seen
// down for one frame, and counted once.
void Tell(int virtualKey, bool down) {
    const auto bit = static_cast<size_t>(virtualKey);
    Taking& taking = g_keys.taking;
    if (down && taking.heldOver.test(bit)) {
        taking.heldOver.reset(bit);
        return;
    }
    if (!down && taking.pressed.test(bit)) {
        taking.heldOver.set(bit);
        return;
    }
    if (down) taking.pressed.set(bit);
    TellGame(virtualKey, down);
}

void Sync() {
    KeyMerge::Keys held;
    for (const auto& [number, pad] : g_keys.pads) held |= g_keys.merge.PadKeys(pad.state);
    g_keys.merge.Sync(held);
}

std::string Lower(const std::string& name) {
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The releases held back, told now.
void TellHeldOver() {
    const Taking taking = g_keys.taking;
    g_keys.taking = Taking{};
    for (size_t bit = 0; bit < taking.heldOver.size(); ++bit)
        if (taking.heldOver.test(bit)) TellGame(static_cast<int>(bit), false);
}

}  // namespace

void BindKeys(const player::settings::Settings& settings) {
    g_keys.bound = true;
    g_keys.bindings.clear();
    for (size_t i = 0; i < player::kKeyNames.size(); ++i)
        for (const std::string& name : settings.keys[i])
            g_keys.bindings.push_back(Binding{Lower(name), player::kKeyNames[i].virtualKey});
}

void KeyChanged(const std::string& name, bool down) {
    if (!g_keys.bound) BindKeys(player::settings::Defaults());
    const std::string lower = Lower(name);
    for (const Binding& binding : g_keys.bindings)
        if (binding.name == lower) g_keys.merge.KeyboardChanged(binding.virtualKey, down);
    Sync();
}

void GameKeyChanged(int virtualKey, bool down) {
    g_keys.merge.KeyboardChanged(virtualKey, down);
    Sync();
}

void PadChanged(int number, uint32_t roles, int stickX, int stickY) {
    Pad& pad = g_keys.pads[number];
    pad.ignoredRoles &= roles;
    if (stickX != pad.stickX || stickY != pad.stickY) pad.stickIgnored = false;
    pad.roles = roles;
    pad.stickX = stickX;
    pad.stickY = stickY;
    pad.state.buttons = roles & ~pad.ignoredRoles;
    pad.state.stickX = pad.stickIgnored ? 0 : StickDirection(pad.state.stickX, stickX);
    pad.state.stickY = pad.stickIgnored ? 0 : StickDirection(pad.state.stickY, stickY);
    Sync();
}

void PadGone(int pad) {
    g_keys.pads.erase(pad);
    Sync();
}

void ReleaseAllKeys() {
    TellHeldOver();
    g_keys.merge.ReleaseKeyboard();
    for (auto& [number, pad] : g_keys.pads) {
        pad.state = PadState{};
        pad.ignoredRoles = pad.roles;
        pad.stickIgnored = true;
    }
    Sync();
}

void EndKeyTaking() { TellHeldOver(); }

void ForgetKeys() { g_keys = Keys{}; }

}  // namespace core
