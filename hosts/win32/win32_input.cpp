// The Win32 driver's keys: the keyboard from the window's messages, each key
// told to the core by the name the settings file gives it on every system
// (the core's key table),
// and up to four XInput pads, told by the roles of their buttons.
#include <windows.h>
#include <xinput.h>

#include <string>

#include "hosts/core/hear.h"
#include "hosts/core/key_table.h"
#include "hosts/win32/win32_internal.h"

namespace {

constexpr DWORD kPadCount = XUSER_MAX_COUNT;
// Asking for a pad that is not there is slow on Windows: empty slots are
// looked at again only this often.
constexpr ULONGLONG kEmptySlotRetryMs = 2000;

constexpr struct {
    WORD button;
    core::PadRole role;
} kRoles[] = {
    {XINPUT_GAMEPAD_A, core::kPadSouth},        {XINPUT_GAMEPAD_B, core::kPadEast},
    {XINPUT_GAMEPAD_X, core::kPadWest},         {XINPUT_GAMEPAD_Y, core::kPadNorth},
    {XINPUT_GAMEPAD_BACK, core::kPadBack},      {XINPUT_GAMEPAD_START, core::kPadStart},
    {XINPUT_GAMEPAD_DPAD_UP, core::kPadUp},     {XINPUT_GAMEPAD_DPAD_DOWN, core::kPadDown},
    {XINPUT_GAMEPAD_DPAD_LEFT, core::kPadLeft}, {XINPUT_GAMEPAD_DPAD_RIGHT, core::kPadRight},
};

struct Pad {
    bool connected = false;
    ULONGLONG lastTry = 0;
    XINPUT_GAMEPAD last{};  // as last told
};

Pad g_pads[kPadCount];

// The key a message speaks of, told apart as the names are: the key pad's
// keys (which without Num Lock come as the arrows and the keys above them,
// without the extended flag), its Enter, and either Shift, Ctrl and Alt.
int KeyOf(int virtualKey, uint32_t keyFlags) {
    constexpr uint32_t kExtended = 1u << 24;
    const bool extended = (keyFlags & kExtended) != 0;
    switch (virtualKey) {
        case VK_SHIFT: return static_cast<int>(MapVirtualKeyW((keyFlags >> 16) & 0xFF, MAPVK_VSC_TO_VK_EX));
        case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
        case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
        case VK_RETURN: return extended ? core::kKeypadEnter : VK_RETURN;
        default: break;
    }
    if (extended) return virtualKey;
    constexpr int kPadKeys[][2] = {
        {VK_INSERT, VK_NUMPAD0}, {VK_END, VK_NUMPAD1},   {VK_DOWN, VK_NUMPAD2},   {VK_NEXT, VK_NUMPAD3},
        {VK_LEFT, VK_NUMPAD4},   {VK_CLEAR, VK_NUMPAD5}, {VK_RIGHT, VK_NUMPAD6},  {VK_HOME, VK_NUMPAD7},
        {VK_UP, VK_NUMPAD8},     {VK_PRIOR, VK_NUMPAD9}, {VK_DELETE, VK_DECIMAL},
    };
    for (const auto& pad : kPadKeys)
        if (pad[0] == virtualKey) return pad[1];
    return virtualKey;
}

// A pad's controls told by role; XInput counts the stick's up as positive,
// the screen as negative.
void TellPad(DWORD slot, const XINPUT_GAMEPAD& state) {
    uint32_t roles = 0;
    for (const auto& row : kRoles)
        if ((state.wButtons & row.button) != 0) roles |= row.role;
    core::Hear(core::RawEvent{.kind = core::RawKind::kPad,
                              .pad = static_cast<int>(slot),
                              .roles = roles,
                              .stickX = state.sThumbLX,
                              .stickY = -state.sThumbLY});
}

bool Same(const XINPUT_GAMEPAD& a, const XINPUT_GAMEPAD& b) {
    return a.wButtons == b.wButtons && a.sThumbLX == b.sThumbLX && a.sThumbLY == b.sThumbLY;
}

}  // namespace

namespace win32 {

bool KeyNameKnown(const std::string& name) { return core::KeyByName(name) != nullptr; }

void KeyChanged(int virtualKey, bool down, uint32_t keyFlags, bool alt) {
    constexpr uint32_t kWasDown = 1u << 30;
    const core::KeyRow* key = core::KeyByVirtualKey(KeyOf(virtualKey, keyFlags));
    if (key == nullptr) return;
    core::Hear(core::RawEvent{.kind = core::RawKind::kKey,
                              .down = down,
                              .key = key->name.c_str(),
                              .alt = alt,
                              .ctrl = GetKeyState(VK_CONTROL) < 0,
                              .repeat = down && (keyFlags & kWasDown) != 0});
}

// Pads, like the keyboard, speak only to the window with the focus.
void PollPads() {
    if (GetFocus() == nullptr) return;
    ULONGLONG now = GetTickCount64();
    for (DWORD slot = 0; slot < kPadCount; ++slot) {
        Pad& pad = g_pads[slot];
        if (!pad.connected && now - pad.lastTry < kEmptySlotRetryMs && pad.lastTry != 0) continue;
        pad.lastTry = now;
        XINPUT_STATE state{};
        const bool wasConnected = pad.connected;
        pad.connected = XInputGetState(slot, &state) == ERROR_SUCCESS;
        if (pad.connected && (!wasConnected || !Same(pad.last, state.Gamepad))) TellPad(slot, state.Gamepad);
        if (!pad.connected && wasConnected)
            core::Hear(core::RawEvent{.kind = core::RawKind::kPadGone, .pad = static_cast<int>(slot)});
        pad.last = pad.connected ? state.Gamepad : XINPUT_GAMEPAD{};
    }
}

}  // namespace win32
