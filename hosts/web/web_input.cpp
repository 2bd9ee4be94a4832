// The browser's host's keyboard and gamepads, as the game's own keys, mapped
// as the SDL host maps them. The page turns each key into the game's key
// (the arrows also on WASD and the keypad, F1-F3 also on 1-3) and reports
// the focus; pads are read through the Gamepad API's standard mapping:
// d-pad and left stick = arrows, A and Start = SPACE, X = F1, Y = F2, B = F3,
// Back = TAB, Guide = ESC.
#include "hosts/core/key_merge.h"
#include "hosts/web/web_internal.h"
#include "winapi/win.h"

namespace {

constexpr int kPads = 4;  // the Gamepad API's usual slots

// Buttons of the standard mapping, by their numbers in it.
constexpr core::PadButton kPadButtons[] = {
    {1u << 0, VK_SPACE},    // A (south)
    {1u << 1, VK_F3},       // B (east)
    {1u << 2, VK_F1},       // X (west)
    {1u << 3, VK_F2},       // Y (north)
    {1u << 8, VK_TAB},      // Back
    {1u << 9, VK_SPACE},    // Start
    {1u << 12, VK_UP},      // d-pad up
    {1u << 13, VK_DOWN},    // d-pad down
    {1u << 14, VK_LEFT},    // d-pad left
    {1u << 15, VK_RIGHT},   // d-pad right
    {1u << 16, VK_ESCAPE},  // Guide
};

void TellGame(int virtualKey, bool down) {
    web::PushEvent(
        winapi::host::Event{down ? winapi::host::EventKind::KeyDown : winapi::host::EventKind::KeyUp, virtualKey});
}

struct Input {
    core::KeyMerge keys{kPadButtons, TellGame};
    core::PadState pads[kPads];
};

Input g_input;

// Tells the game what the keyboard and every pad changed.
void SyncKeys() {
    core::KeyMerge::Keys held;
    for (const core::PadState& pad : g_input.pads) held |= g_input.keys.PadKeys(pad);
    g_input.keys.Sync(held);
}

void ReadPads() {
    for (int i = 0; i < kPads; ++i) {
        core::PadState& pad = g_input.pads[i];
        uint32_t buttons = 0;
        int x = 0;
        int y = 0;
        if (!kawauo_web_pad(i, &buttons, &x, &y)) {
            pad = {};  // unplugged: lets go of everything
            continue;
        }
        pad.buttons = buttons;
        pad.stickX = core::StickDirection(pad.stickX, x);
        pad.stickY = core::StickDirection(pad.stickY, y);
    }
}

void Translate(int kind, int vk) {
    switch (kind) {
        case web::kKeyDown:
        case web::kKeyUp: {
            g_input.keys.KeyboardChanged(vk, kind == web::kKeyDown);
            return;
        }
        case web::kFocusLost:
            web::ReleaseAllKeys();
            web::PushEvent(winapi::host::Event{winapi::host::EventKind::Deactivate, 0});
            web::NoteFocus(false);
            return;
        case web::kFocusGained:
            web::NoteFocus(true);
            web::PushEvent(winapi::host::Event{winapi::host::EventKind::Activate, 0});
            return;
        default: return;
    }
}

}  // namespace

namespace web {

void PollInput(bool withPads) {
    int kind = 0;
    int vk = 0;
    while (kawauo_web_next_input(&kind, &vk)) {
        Translate(kind, vk);
        SyncKeys();
    }
    if (!withPads) return;
    ReadPads();
    SyncKeys();
}

// On losing the focus no key may stay down: the releases would go elsewhere.
void ReleaseAllKeys() {
    g_input.keys.ReleaseKeyboard();
    for (core::PadState& pad : g_input.pads) pad = {};
    SyncKeys();
}

}  // namespace web
