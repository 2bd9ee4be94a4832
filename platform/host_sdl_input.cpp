// The SDL host's keyboard and gamepads, as the game's own keys.
//
// Keyboard: as the settings bind it; by default the arrows also on WASD and
// the keypad, F1-F3 also on 1-3 (many laptops need Fn for the F-keys).
// Gamepad: d-pad and left stick = arrows, A (south) and Start = SPACE,
// X = F1, Y = F2, B = F3, Back = TAB, Guide = ESC.
#include <algorithm>
#include <vector>

#include "platform/host_sdl_internal.h"
#include "platform/win.h"

namespace {

constexpr int kKeyCount = 256;
constexpr int kStickPress = 16000;    // of 32767: the stick counts as an arrow beyond this
constexpr int kStickRelease = 12000;  // and stops below this, so it does not flicker

struct Pad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    uint32_t buttons;  // bit per SDL_GameControllerButton
    int stickX;        // -1, 0, 1
    int stickY;
};

// A keyboard key standing for a game key; a key may stand for several.
struct Binding {
    SDL_Keycode key;
    int virtualKey;
};

struct Input {
    bool bound = false;
    std::vector<Binding> bindings;
    int keyboardHeld[kKeyCount] = {};  // keys holding each game key down
    bool shownHeld[kKeyCount] = {};    // what the game has been told
    std::vector<Pad> pads;
};

Input g_input;

int PadButtonKey(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A: return VK_SPACE;
        case SDL_CONTROLLER_BUTTON_START: return VK_SPACE;
        case SDL_CONTROLLER_BUTTON_X: return VK_F1;
        case SDL_CONTROLLER_BUTTON_Y: return VK_F2;
        case SDL_CONTROLLER_BUTTON_B: return VK_F3;
        case SDL_CONTROLLER_BUTTON_BACK: return VK_TAB;
        case SDL_CONTROLLER_BUTTON_GUIDE: return VK_ESCAPE;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return VK_LEFT;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return VK_RIGHT;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return VK_UP;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return VK_DOWN;
        default: return 0;
    }
}

bool PadHolds(const Pad& pad, int vk) {
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
        if ((pad.buttons >> b & 1) != 0 && PadButtonKey(b) == vk) return true;
    return (vk == VK_LEFT && pad.stickX < 0) || (vk == VK_RIGHT && pad.stickX > 0) || (vk == VK_UP && pad.stickY < 0) ||
           (vk == VK_DOWN && pad.stickY > 0);
}

// A key is down while the keyboard or any pad holds it; the game hears of
// each change once, whichever device made it, releases before presses (a
// stick swung from one side to the other lets go first).
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
            sdlhost::PushEvent(host::Event{press ? host::EventKind::KeyDown : host::EventKind::KeyUp, vk});
        }
    }
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
    g_input.pads.push_back(Pad{controller, id, 0, 0, 0});
}

void RemovePad(SDL_JoystickID id) {
    auto it = std::find_if(g_input.pads.begin(), g_input.pads.end(), [id](const Pad& p) { return p.id == id; });
    if (it == g_input.pads.end()) return;
    SDL_GameControllerClose(it->controller);
    g_input.pads.erase(it);
    SyncKeys();
}

int StickDirection(int previous, int value) {
    int magnitude = value < 0 ? -value : value;
    if (magnitude > kStickPress) return value < 0 ? -1 : 1;
    if (magnitude < kStickRelease) return 0;
    return previous;
}

}  // namespace

namespace sdlhost {

void UseKeys(const settings::Settings& settings) {
    g_input.bound = true;
    g_input.bindings.clear();
    for (size_t i = 0; i < platform::kKeyNames.size(); ++i)
        for (const std::string& name : settings.keys[i])
            g_input.bindings.push_back(Binding{SDL_GetKeyFromName(name.c_str()), platform::kKeyNames[i].virtualKey});
}

bool TranslateInput(const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            // Two keys for one game key: it is up once both are; a repeat is no new key.
            if (!g_input.bound) UseKeys(settings::Defaults());
            if (e.key.repeat != 0) return true;
            for (const Binding& binding : g_input.bindings) {
                if (binding.key != e.key.keysym.sym) continue;
                int& holders = g_input.keyboardHeld[binding.virtualKey];
                holders = e.type == SDL_KEYDOWN ? holders + 1 : std::max(0, holders - 1);
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
                pad->buttons = e.type == SDL_CONTROLLERBUTTONDOWN ? pad->buttons | bit : pad->buttons & ~bit;
                SyncKeys();
            }
            return true;
        case SDL_CONTROLLERAXISMOTION:
            if (Pad* pad = FindPad(e.caxis.which)) {
                if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) pad->stickX = StickDirection(pad->stickX, e.caxis.value);
                if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) pad->stickY = StickDirection(pad->stickY, e.caxis.value);
                SyncKeys();
            }
            return true;
        default: return false;
    }
}

void ReleaseAllKeys() {
    std::fill(std::begin(g_input.keyboardHeld), std::end(g_input.keyboardHeld), 0);
    for (Pad& pad : g_input.pads) pad = Pad{pad.controller, pad.id, 0, 0, 0};
    SyncKeys();
}

void ClosePads() {
    for (Pad& pad : g_input.pads) SDL_GameControllerClose(pad.controller);
    g_input.pads.clear();
}

}  // namespace sdlhost
