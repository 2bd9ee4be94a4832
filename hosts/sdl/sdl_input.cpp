// The SDL driver's keyboard and gamepads, told to the core: keys by SDL's
// names for them (the settings file's), pads by the roles of their buttons.
#include <algorithm>
#include <vector>

#include "hosts/core/driver.h"
#include "hosts/sdl/sdl_internal.h"

namespace {

struct Pad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    uint32_t roles = 0;
    int stickX = 0;
    int stickY = 0;
};

constexpr struct {
    SDL_GameControllerButton button;
    core::PadRole role;
} kRoles[] = {
    {SDL_CONTROLLER_BUTTON_A, core::kPadSouth},          {SDL_CONTROLLER_BUTTON_B, core::kPadEast},
    {SDL_CONTROLLER_BUTTON_X, core::kPadWest},           {SDL_CONTROLLER_BUTTON_Y, core::kPadNorth},
    {SDL_CONTROLLER_BUTTON_BACK, core::kPadBack},        {SDL_CONTROLLER_BUTTON_START, core::kPadStart},
    {SDL_CONTROLLER_BUTTON_GUIDE, core::kPadGuide},      {SDL_CONTROLLER_BUTTON_DPAD_UP, core::kPadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, core::kPadDown},   {SDL_CONTROLLER_BUTTON_DPAD_LEFT, core::kPadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, core::kPadRight},
};

std::vector<Pad> g_pads;

Pad* FindPad(SDL_JoystickID id) {
    for (Pad& pad : g_pads)
        if (pad.id == id) return &pad;
    return nullptr;
}

void Tell(const Pad& pad) {
    core::Hear(core::RawEvent{
        .kind = core::RawKind::kPad, .pad = pad.id, .roles = pad.roles, .stickX = pad.stickX, .stickY = pad.stickY});
}

void AddPad(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (FindPad(id) != nullptr) {
        SDL_GameControllerClose(controller);  // opened twice: keep one reference
        return;
    }
    g_pads.push_back(Pad{controller, id});
}

void RemovePad(SDL_JoystickID id) {
    auto it = std::find_if(g_pads.begin(), g_pads.end(), [id](const Pad& p) { return p.id == id; });
    if (it == g_pads.end()) return;
    SDL_GameControllerClose(it->controller);
    g_pads.erase(it);
    core::Hear(core::RawEvent{.kind = core::RawKind::kPadGone, .pad = id});
}

void Button(const SDL_ControllerButtonEvent& e) {
    Pad* pad = FindPad(e.which);
    if (pad == nullptr) return;
    for (const auto& row : kRoles) {
        if (row.button != e.button) continue;
        pad->roles = e.type == SDL_CONTROLLERBUTTONDOWN ? pad->roles | row.role : pad->roles & ~row.role;
    }
    Tell(*pad);
}

void Axis(const SDL_ControllerAxisEvent& e) {
    Pad* pad = FindPad(e.which);
    if (pad == nullptr) return;
    if (e.axis == SDL_CONTROLLER_AXIS_LEFTX) pad->stickX = e.value;
    else if (e.axis == SDL_CONTROLLER_AXIS_LEFTY) pad->stickY = e.value;
    else return;
    Tell(*pad);
}

}  // namespace

namespace sdl {

void TranslateInput(const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            core::Hear(core::RawEvent{.kind = core::RawKind::kKey,
                                      .down = e.type == SDL_KEYDOWN,
                                      .key = SDL_GetKeyName(e.key.keysym.sym),
                                      .alt = (e.key.keysym.mod & KMOD_ALT) != 0,
                                      .ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0,
                                      .repeat = e.key.repeat != 0});
            return;
        case SDL_CONTROLLERDEVICEADDED: AddPad(e.cdevice.which); return;
        case SDL_CONTROLLERDEVICEREMOVED: RemovePad(e.cdevice.which); return;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: Button(e.cbutton); return;
        case SDL_CONTROLLERAXISMOTION: Axis(e.caxis); return;
        default: return;
    }
}

void ClosePads() {
    for (Pad& pad : g_pads) SDL_GameControllerClose(pad.controller);
    g_pads.clear();
}

}  // namespace sdl
