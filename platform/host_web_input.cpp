// The browser's host's keyboard and gamepads, as the game's own keys, mapped
// as the SDL host maps them. The page turns each key into the game's key
// (the arrows also on WASD and the keypad, F1-F3 also on 1-3) and reports
// the focus; pads are read through the Gamepad API's standard mapping:
// d-pad and left stick = arrows, A and Start = SPACE, X = F1, Y = F2, B = F3,
// Back = TAB, Guide = ESC.
#include <algorithm>

#include "platform/host_web_internal.h"
#include "platform/win.h"

namespace {

constexpr int kKeyCount = 256;
constexpr int kPads = 4;              // the Gamepad API's usual slots
constexpr int kStickPress = 16000;    // of 32767: the stick counts as an arrow beyond this
constexpr int kStickRelease = 12000;  // and stops below this, so it does not flicker

struct Pad {
    uint32_t buttons = 0;  // bit per button of the standard mapping
    int stickX = 0;        // -1, 0, 1
    int stickY = 0;
};

struct Input {
    int keyboardHeld[kKeyCount] = {};  // keys holding each game key down
    bool shownHeld[kKeyCount] = {};    // what the game has been told
    Pad pads[kPads];
};

Input g_input;

// Buttons of the standard mapping, in its order.
int PadButtonKey(int button) {
    switch (button) {
        case 0: return VK_SPACE;  // A (south)
        case 1: return VK_F3;     // B (east)
        case 2: return VK_F1;     // X (west)
        case 3: return VK_F2;     // Y (north)
        case 8: return VK_TAB;    // Back
        case 9: return VK_SPACE;  // Start
        case 12: return VK_UP;    // d-pad
        case 13: return VK_DOWN;
        case 14: return VK_LEFT;
        case 15: return VK_RIGHT;
        case 16: return VK_ESCAPE;  // Guide
        default: return 0;
    }
}

bool PadHolds(const Pad& pad, int vk) {
    for (int b = 0; b < 32; ++b)
        if ((pad.buttons >> b & 1) != 0 && PadButtonKey(b) == vk) return true;
    return (vk == VK_LEFT && pad.stickX < 0) || (vk == VK_RIGHT && pad.stickX > 0) || (vk == VK_UP && pad.stickY < 0) ||
           (vk == VK_DOWN && pad.stickY > 0);
}

// A key is down while the keyboard or any pad holds it; the game hears of
// each change once, releases before presses.
void SyncKeys() {
    bool held[kKeyCount] = {};
    for (int vk = 1; vk < kKeyCount; ++vk) {
        held[vk] = g_input.keyboardHeld[vk] > 0;
        for (const Pad& pad : g_input.pads) held[vk] = held[vk] || PadHolds(pad, vk);
    }
    for (bool press : {false, true}) {
        for (int vk = 1; vk < kKeyCount; ++vk) {
            if (held[vk] != press || held[vk] == g_input.shownHeld[vk]) continue;
            g_input.shownHeld[vk] = press;
            webhost::PushEvent(host::Event{press ? host::EventKind::KeyDown : host::EventKind::KeyUp, vk});
        }
    }
}

int StickDirection(int previous, int value) {
    int magnitude = value < 0 ? -value : value;
    if (magnitude > kStickPress) return value < 0 ? -1 : 1;
    if (magnitude < kStickRelease) return 0;
    return previous;
}

void ReadPads() {
    for (int i = 0; i < kPads; ++i) {
        Pad& pad = g_input.pads[i];
        uint32_t buttons = 0;
        int x = 0;
        int y = 0;
        if (!kawauo_web_pad(i, &buttons, &x, &y)) {
            pad = Pad{};  // unplugged: lets go of everything
            continue;
        }
        pad.buttons = buttons;
        pad.stickX = StickDirection(pad.stickX, x);
        pad.stickY = StickDirection(pad.stickY, y);
    }
}

void Translate(int kind, int vk) {
    switch (kind) {
        case webhost::kKeyDown:
        case webhost::kKeyUp: {
            // Two keys for one game key: it is up once both are.
            if (vk <= 0 || vk >= kKeyCount) return;
            int& holders = g_input.keyboardHeld[vk];
            holders = kind == webhost::kKeyDown ? holders + 1 : std::max(0, holders - 1);
            return;
        }
        case webhost::kFocusLost:
            webhost::ReleaseAllKeys();
            webhost::PushEvent(host::Event{host::EventKind::Deactivate, 0});
            return;
        case webhost::kFocusGained: webhost::PushEvent(host::Event{host::EventKind::Activate, 0}); return;
        default: return;
    }
}

}  // namespace

namespace webhost {

void PollInput() {
    int kind = 0;
    int vk = 0;
    while (kawauo_web_next_input(&kind, &vk)) {
        Translate(kind, vk);
        SyncKeys();
    }
    ReadPads();
    SyncKeys();
}

// On losing the focus no key may stay down: the releases would go elsewhere.
void ReleaseAllKeys() {
    std::fill(std::begin(g_input.keyboardHeld), std::end(g_input.keyboardHeld), 0);
    for (Pad& pad : g_input.pads) pad = Pad{};
    SyncKeys();
}

}  // namespace webhost
