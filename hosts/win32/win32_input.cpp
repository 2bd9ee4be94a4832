// The Win32 driver's keys: the keyboard from the window's messages, each key
// told to the core by the name the settings file gives it on every system,
// and up to four XInput pads, told by the roles of their buttons.
#include <windows.h>
#include <xinput.h>

#include <cctype>
#include <string>
#include <string_view>

#include "hosts/core/hear.h"
#include "hosts/win32/win32_internal.h"

namespace {

constexpr DWORD kPadCount = XUSER_MAX_COUNT;
// Asking for a pad that is not there is slow on Windows: empty slots are
// looked at again only this often.
constexpr ULONGLONG kEmptySlotRetryMs = 2000;

using GetStateFunction = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

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

struct InputState {
    Pad pads[kPadCount];
    bool xinputLooked = false;
    GetStateFunction getState = nullptr;
};

InputState g_input;

// The key pad's Enter, which Windows gives as Return with the extended flag.
constexpr int kKeypadEnter = 0x100 | VK_RETURN;

// The keys by the names of the settings file, as SDL names them.
struct NamedKey {
    std::string_view name;
    int key;
};

constexpr NamedKey kNamedKeys[] = {
    {"Space", VK_SPACE},
    {"Tab", VK_TAB},
    {"Escape", VK_ESCAPE},
    {"Return", VK_RETURN},
    {"Backspace", VK_BACK},
    {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},
    {"Home", VK_HOME},
    {"End", VK_END},
    {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT},
    {"Left", VK_LEFT},
    {"Up", VK_UP},
    {"Right", VK_RIGHT},
    {"Down", VK_DOWN},
    {"Left Shift", VK_LSHIFT},
    {"Right Shift", VK_RSHIFT},
    {"Left Ctrl", VK_LCONTROL},
    {"Right Ctrl", VK_RCONTROL},
    {"Left Alt", VK_LMENU},
    {"Right Alt", VK_RMENU},
    {"Left GUI", VK_LWIN},
    {"Right GUI", VK_RWIN},
    {"CapsLock", VK_CAPITAL},
    {"Menu", VK_APPS},
    {",", VK_OEM_COMMA},
    {".", VK_OEM_PERIOD},
    {"/", VK_OEM_2},
    {";", VK_OEM_1},
    {"'", VK_OEM_7},
    {"[", VK_OEM_4},
    {"]", VK_OEM_6},
    {"\\", VK_OEM_5},
    {"-", VK_OEM_MINUS},
    {"=", VK_OEM_PLUS},
    {"`", VK_OEM_3},
    {"Keypad .", VK_DECIMAL},
    {"Keypad +", VK_ADD},
    {"Keypad -", VK_SUBTRACT},
    {"Keypad *", VK_MULTIPLY},
    {"Keypad /", VK_DIVIDE},
    {"Keypad ,", VK_SEPARATOR},
    {"Keypad Enter", kKeypadEnter},
};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// F1 to F24 by number; 0 for any other name.
int FunctionKeyNamed(std::string_view name) {
    if (name.size() < 2 || name.size() > 3 || (name[0] != 'F' && name[0] != 'f') || name[1] == '0') return 0;
    int number = 0;
    for (char c : name.substr(1)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number <= 24 ? VK_F1 + number - 1 : 0;
}

// The key of a name, as SDL reads it (letters in either case); 0
// for a name this keyboard has no key by.
int KeyNamed(std::string_view name) {
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));
    constexpr std::string_view kKeypad = "Keypad ";
    if (name.size() == kKeypad.size() + 1 && SameName(name.substr(0, kKeypad.size()), kKeypad) && name.back() >= '0' &&
        name.back() <= '9')
        return VK_NUMPAD0 + (name.back() - '0');
    if (int function = FunctionKeyNamed(name)) return function;
    for (const NamedKey& named : kNamedKeys)
        if (SameName(named.name, name)) return named.key;
    return 0;
}

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
        case VK_RETURN: return extended ? kKeypadEnter : VK_RETURN;
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

// The name the settings file gives the key KeyOf tells; empty for a key
// that has none.
std::string NameOf(int key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Keypad " + std::to_string(key - VK_NUMPAD0);
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    for (const NamedKey& named : kNamedKeys)
        if (named.key == key) return std::string(named.name);
    return {};
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

bool KeyNameKnown(const std::string& name) { return KeyNamed(name) != 0; }

void KeyChanged(int virtualKey, bool down, uint32_t keyFlags, bool alt) {
    constexpr uint32_t kWasDown = 1u << 30;
    const std::string name = NameOf(KeyOf(virtualKey, keyFlags));
    if (name.empty()) return;
    core::Hear(core::RawEvent{.kind = core::RawKind::kKey,
                              .down = down,
                              .key = name.c_str(),
                              .alt = alt,
                              .repeat = down && (keyFlags & kWasDown) != 0});
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
        const bool wasConnected = pad.connected;
        pad.connected = getState(slot, &state) == ERROR_SUCCESS;
        if (pad.connected && (!wasConnected || !Same(pad.last, state.Gamepad))) TellPad(slot, state.Gamepad);
        if (!pad.connected && wasConnected)
            core::Hear(core::RawEvent{.kind = core::RawKind::kPadGone, .pad = static_cast<int>(slot)});
        pad.last = pad.connected ? state.Gamepad : XINPUT_GAMEPAD{};
    }
}

}  // namespace win32
