// What a driver tells the core of its system's events, in plain types, so
// that a driver's files speaking to the system (<windows.h>, ...) can tell it.
#pragma once
#include <cstdint>

namespace core {

// The roles of a pad's controls, a bit each, as the pad's own maker lays
// them out: the driver maps its buttons to these, the core the roles to keys.
enum PadRole : uint32_t {
    kPadSouth = 1u << 0,
    kPadEast = 1u << 1,
    kPadWest = 1u << 2,
    kPadNorth = 1u << 3,
    kPadBack = 1u << 4,
    kPadStart = 1u << 5,
    kPadGuide = 1u << 6,
    kPadUp = 1u << 7,
    kPadDown = 1u << 8,
    kPadLeft = 1u << 9,
    kPadRight = 1u << 10,
};

enum class RawKind {
    kKey,      // a keyboard key went down or up
    kGameKey,  // a control standing for one of the game's keys (a touch button, a test's key)
    kPad,      // a pad's controls now
    kPadGone,  // a pad was unplugged
    kFocus,    // the window gained (`down`) or lost the focus
    kResized,  // the player made the window this size (not the driver's own switches)
    kClose,    // the player asked to close the window
};

struct RawEvent {
    RawKind kind;
    bool down = false;     // kKey and kGameKey: pressed; kFocus: focused
    const char* key = "";  // kKey: the key's name as the settings file names it ("Space", "Keypad 8")
    bool alt = false;      // kKey: an Alt key is held
    bool ctrl = false;     // kKey: a Ctrl key is held
    bool repeat = false;   // kKey: the system repeating a key held down
    int virtualKey = 0;    // kGameKey: a VK_ code of win.h
    int pad = 0;           // kPad, kPadGone: which pad, any number the driver keeps apart
    uint32_t roles = 0;    // kPad: the PadRoles held
    int stickX = 0;        // kPad: the left stick, of 32767, right positive
    int stickY = 0;        // kPad: down positive, as the screen counts
    int width = 0;         // kResized
    int height = 0;
};

// What the system said, as the driver heard it: turned into the game's
// events, or acted on by the core (Alt+Enter, F12, pause, the settings).
void Hear(const RawEvent& event);

}  // namespace core
