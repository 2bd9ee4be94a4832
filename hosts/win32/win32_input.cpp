// The Win32 host's keys: the keyboard from the window's messages and up to
// four XInput pads, merged so that the game hears each change of a key once.
//
// Pad: d-pad and left stick = arrows, A and Start = SPACE, X = F1, Y = F2,
// B = F3, Back = TAB.
#include <windows.h>
#include <xinput.h>

#include "hosts/shared/key_merge.h"
#include "hosts/win32/win32_internal.h"

namespace {

constexpr DWORD kPadCount = XUSER_MAX_COUNT;
// Asking for a pad that is not there is slow on Windows: empty slots are
// looked at again only this often.
constexpr ULONGLONG kEmptySlotRetryMs = 2000;

using GetStateFunction = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

constexpr platform::PadButton kPadButtons[] = {
    {XINPUT_GAMEPAD_A, VK_SPACE},        {XINPUT_GAMEPAD_START, VK_SPACE},
    {XINPUT_GAMEPAD_X, VK_F1},           {XINPUT_GAMEPAD_Y, VK_F2},
    {XINPUT_GAMEPAD_B, VK_F3},           {XINPUT_GAMEPAD_BACK, VK_TAB},
    {XINPUT_GAMEPAD_DPAD_LEFT, VK_LEFT}, {XINPUT_GAMEPAD_DPAD_RIGHT, VK_RIGHT},
    {XINPUT_GAMEPAD_DPAD_UP, VK_UP},     {XINPUT_GAMEPAD_DPAD_DOWN, VK_DOWN},
};

struct Pad {
    bool connected = false;
    ULONGLONG lastTry = 0;
    platform::PadState state;
};

void TellGame(int virtualKey, bool down) { win32host::QueueKey(virtualKey, down); }

struct InputState {
    platform::KeyMerge keys{kPadButtons, TellGame};
    Pad pads[kPadCount];
    bool xinputLooked = false;
    GetStateFunction getState = nullptr;
};

InputState g_input;

// The keys the game reads, and the only ones it is told about.
bool GameKey(int vk) {
    switch (vk) {
        case VK_SPACE:
        case VK_TAB:
        case VK_ESCAPE:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_F1:
        case VK_F2:
        case VK_F3: return true;
        default: return false;
    }
}

// XInput from whichever of its libraries this Windows has; none, no pads.
GetStateFunction XInputGetStateFunction() {
    if (!g_input.xinputLooked) {
        g_input.xinputLooked = true;
        for (const wchar_t* library : {L"xinput1_4.dll", L"xinput9_1_0.dll"}) {
            HMODULE module = LoadLibraryW(library);
            if (module == nullptr) continue;
            FARPROC found = GetProcAddress(module, "XInputGetState");
            g_input.getState = reinterpret_cast<GetStateFunction>(reinterpret_cast<void*>(found));
            if (g_input.getState != nullptr) break;
        }
    }
    return g_input.getState;
}

// XInput counts the stick's up as positive, the screen as negative.
void ReadPad(platform::PadState& pad, const XINPUT_GAMEPAD& state) {
    pad.buttons = state.wButtons;
    pad.stickX = platform::StickDirection(pad.stickX, state.sThumbLX);
    pad.stickY = platform::StickDirection(pad.stickY, -state.sThumbLY);
}

// Tells the game what the keyboard and every pad changed.
void SyncKeys() {
    platform::KeyMerge::Keys held;
    for (const Pad& pad : g_input.pads) held |= g_input.keys.PadKeys(pad.state);
    g_input.keys.Sync(held);
}

}  // namespace

namespace win32host {

void KeyChanged(int virtualKey, bool down) {
    if (!GameKey(virtualKey)) return;
    g_input.keys.KeyboardSet(virtualKey, down);
    SyncKeys();
}

void ReleaseAllKeys() {
    g_input.keys.ReleaseKeyboard();
    for (Pad& pad : g_input.pads) pad.state = {};
    SyncKeys();
}

// Pads, like the keyboard, speak only to the window with the focus.
void PollPads() {
    GetStateFunction getState = XInputGetStateFunction();
    if (getState == nullptr || GetFocus() == nullptr) return;
    ULONGLONG now = GetTickCount64();
    for (DWORD slot = 0; slot < kPadCount; ++slot) {
        Pad& pad = g_input.pads[slot];
        if (!pad.connected && now - pad.lastTry < kEmptySlotRetryMs && pad.lastTry != 0) continue;
        pad.lastTry = now;
        XINPUT_STATE state{};
        pad.connected = getState(slot, &state) == ERROR_SUCCESS;
        if (pad.connected) ReadPad(pad.state, state.Gamepad);
        else pad = Pad{false, now, {}};
    }
    SyncKeys();
}

}  // namespace win32host
