// The Win32 host's keys: the keyboard from the window's messages and up to
// four XInput pads, merged so that the game hears each change of a key once.
//
// Pad: d-pad and left stick = arrows, A and Start = SPACE, X = F1, Y = F2,
// B = F3, Back = TAB.
#include <windows.h>
#include <xinput.h>

#include <bitset>

#include "platform/host_win32_internal.h"

namespace {

constexpr int kKeyCount = 256;
constexpr int kStickPress = 16000;    // of 32767: the stick counts as an arrow beyond this
constexpr int kStickRelease = 12000;  // and stops below this, so it does not flicker
constexpr DWORD kPadCount = XUSER_MAX_COUNT;
// Asking for a pad that is not there is slow on Windows: empty slots are
// looked at again only this often.
constexpr ULONGLONG kEmptySlotRetryMs = 2000;

using Keys = std::bitset<kKeyCount>;
using GetStateFunction = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

struct PadButton {
    WORD button;
    int virtualKey;
};

constexpr PadButton kPadButtons[] = {
    {XINPUT_GAMEPAD_A, VK_SPACE},        {XINPUT_GAMEPAD_START, VK_SPACE},
    {XINPUT_GAMEPAD_X, VK_F1},           {XINPUT_GAMEPAD_Y, VK_F2},
    {XINPUT_GAMEPAD_B, VK_F3},           {XINPUT_GAMEPAD_BACK, VK_TAB},
    {XINPUT_GAMEPAD_DPAD_LEFT, VK_LEFT}, {XINPUT_GAMEPAD_DPAD_RIGHT, VK_RIGHT},
    {XINPUT_GAMEPAD_DPAD_UP, VK_UP},     {XINPUT_GAMEPAD_DPAD_DOWN, VK_DOWN},
};

struct Pad {
    bool connected = false;
    ULONGLONG lastTry = 0;
    int stickX = 0;  // -1, 0, 1
    int stickY = 0;  // -1 down, 1 up, as XInput counts
    Keys held;
};

struct InputState {
    Keys keyboard;
    Keys shown;  // what the game has been told
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

int StickDirection(int previous, int value) {
    int magnitude = value < 0 ? -value : value;
    if (magnitude > kStickPress) return value < 0 ? -1 : 1;
    if (magnitude < kStickRelease) return 0;
    return previous;
}

void ReadPad(Pad& pad, const XINPUT_GAMEPAD& state) {
    pad.stickX = StickDirection(pad.stickX, state.sThumbLX);
    pad.stickY = StickDirection(pad.stickY, state.sThumbLY);
    pad.held.reset();
    for (const PadButton& b : kPadButtons)
        if ((state.wButtons & b.button) != 0) pad.held.set(static_cast<size_t>(b.virtualKey));
    if (pad.stickX < 0) pad.held.set(VK_LEFT);
    if (pad.stickX > 0) pad.held.set(VK_RIGHT);
    if (pad.stickY > 0) pad.held.set(VK_UP);
    if (pad.stickY < 0) pad.held.set(VK_DOWN);
}

// A key is down while the keyboard or any pad holds it; releases are told
// before presses (a stick swung from one side to the other lets go first).
void SyncKeys() {
    Keys held = g_input.keyboard;
    for (const Pad& pad : g_input.pads) held |= pad.held;
    Keys changed = held ^ g_input.shown;
    for (bool press : {false, true}) {
        for (int vk = 1; vk < kKeyCount; ++vk) {
            if (!changed.test(static_cast<size_t>(vk)) || held.test(static_cast<size_t>(vk)) != press) continue;
            win32host::QueueKey(vk, press);
        }
    }
    g_input.shown = held;
}

}  // namespace

namespace win32host {

void KeyChanged(int virtualKey, bool down) {
    if (!GameKey(virtualKey)) return;
    g_input.keyboard.set(static_cast<size_t>(virtualKey), down);
    SyncKeys();
}

void ReleaseAllKeys() {
    g_input.keyboard.reset();
    for (Pad& pad : g_input.pads) pad = Pad{pad.connected, pad.lastTry, 0, 0, Keys()};
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
        if (pad.connected) ReadPad(pad, state.Gamepad);
        else pad = Pad{false, now, 0, 0, Keys()};
    }
    SyncKeys();
}

}  // namespace win32host
