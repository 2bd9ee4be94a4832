// The SDL host's keyboard and gamepads, as the game's own keys.
//
// Keyboard: as the settings bind it; by default the arrows also on WASD and
// the keypad, F1-F3 also on 1-3 (many laptops need Fn for the F-keys).
// Gamepad: d-pad and left stick = arrows, A (south) and Start = SPACE,
// X = F1, Y = F2, B = F3, Back = TAB, Guide = ESC.
#include <algorithm>
#include <vector>

#include "hosts/core/key_merge.h"
#include "hosts/sdl/sdl_internal.h"
#include "winapi/win.h"

namespace {

struct Pad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    core::PadState state;  // a bit of buttons per SDL_GameControllerButton
};

// A keyboard key standing for a game key; a key may stand for several.
struct Binding {
    SDL_Keycode key;
    int virtualKey;
};

constexpr core::PadButton kPadButtons[] = {
    {1u << SDL_CONTROLLER_BUTTON_A, VK_SPACE},
    {1u << SDL_CONTROLLER_BUTTON_START, VK_SPACE},
    {1u << SDL_CONTROLLER_BUTTON_X, VK_F1},
    {1u << SDL_CONTROLLER_BUTTON_Y, VK_F2},
    {1u << SDL_CONTROLLER_BUTTON_B, VK_F3},
    {1u << SDL_CONTROLLER_BUTTON_BACK, VK_TAB},
    {1u << SDL_CONTROLLER_BUTTON_GUIDE, VK_ESCAPE},
    {1u << SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT},
    {1u << SDL_CONTROLLER_BUTTON_DPAD_RIGHT, VK_RIGHT},
    {1u << SDL_CONTROLLER_BUTTON_DPAD_UP, VK_UP},
    {1u << SDL_CONTROLLER_BUTTON_DPAD_DOWN, VK_DOWN},
};

void TellGame(int virtualKey, bool down) {
    sdl::PushEvent(
        winapi::host::Event{down ? winapi::host::EventKind::KeyDown : winapi::host::EventKind::KeyUp, virtualKey});
}

struct Input {
    bool bound = false;
    std::vector<Binding> bindings;
    core::KeyMerge keys{kPadButtons, TellGame};
    std::vector<Pad> pads;
};

Input g_input;

// Tells the game what the keyboard and every pad changed.
void SyncKeys() {
    core::KeyMerge::Keys held;
    for (const Pad& pad : g_input.pads) held |= g_input.keys.PadKeys(pad.state);
    g_input.keys.Sync(held);
}

Pad* FindPad(SDL_JoystickID id) {
    for (Pad& pad : g_input.pads)
        if (pad.id == id) return &pad;
    return nullptr;
}

void AddPad(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (FindPad(id) != nullptr) {
        SDL_GameControllerClose(controller);  // opened twice: keep one reference
        return;
    }
    g_input.pads.push_back(Pad{controller, id, {}});
}

void RemovePad(SDL_JoystickID id) {
    auto it = std::find_if(g_input.pads.begin(), g_input.pads.end(), [id](const Pad& p) { return p.id == id; });
    if (it == g_input.pads.end()) return;
    SDL_GameControllerClose(it->controller);
    g_input.pads.erase(it);
    SyncKeys();
}

}  // namespace

namespace sdl {

void UseKeys(const player::settings::Settings& settings) {
    g_input.bound = true;
    g_input.bindings.clear();
    for (size_t i = 0; i < player::kKeyNames.size(); ++i)
        for (const std::string& name : settings.keys[i])
            g_input.bindings.push_back(Binding{SDL_GetKeyFromName(name.c_str()), player::kKeyNames[i].virtualKey});
}

bool TranslateInput(const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // Two keys for one game key: it is up once both are; a repeat is no new key.
            if (!g_input.bound) UseKeys(player::settings::Defaults());
            if (e.key.repeat != 0) return true;
            for (const Binding& binding : g_input.bindings) {
                if (binding.key != e.key.keysym.sym) continue;
                g_input.keys.KeyboardChanged(binding.virtualKey, e.type == SDL_KEYDOWN);
            }
            SyncKeys();
            return true;
        }
        case SDL_CONTROLLERDEVICEADDED: AddPad(e.cdevice.which); return true;
        case SDL_CONTROLLERDEVICEREMOVED: RemovePad(e.cdevice.which); return true;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (Pad* pad = FindPad(e.cbutton.which)) {
                uint32_t bit = 1u << e.cbutton.button;
                uint32_t& buttons = pad->state.buttons;
                buttons = e.type == SDL_CONTROLLERBUTTONDOWN ? buttons | bit : buttons & ~bit;
                SyncKeys();
            }
            return true;
        case SDL_CONTROLLERAXISMOTION:
            if (Pad* pad = FindPad(e.caxis.which)) {
                core::PadState& state = pad->state;
                if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
                    state.stickX = core::StickDirection(state.stickX, e.caxis.value);
                if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
                    state.stickY = core::StickDirection(state.stickY, e.caxis.value);
                SyncKeys();
            }
            return true;
        default: return false;
    }
}

void ReleaseAllKeys() {
    g_input.keys.ReleaseKeyboard();
    for (Pad& pad : g_input.pads) pad.state = {};
    SyncKeys();
}

void ClosePads() {
    for (Pad& pad : g_input.pads) SDL_GameControllerClose(pad.controller);
    g_input.pads.clear();
}

}  // namespace sdl
