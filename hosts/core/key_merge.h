// Keyboard and gamepads merged into the game's keys, for every host.
#pragma once
#include <bitset>
#include <cstdint>
#include <span>

namespace core {

// A pad button, as a bit of its host's button mask, and the game key it stands for.
struct PadButton {
    uint32_t mask;
    int virtualKey;
};

// A pad as the hosts keep it: its buttons, and its left stick as arrows.
struct PadState {
    uint32_t buttons = 0;
    int stickX = 0;  // -1 left, 0, 1 right
    int stickY = 0;  // -1 up, 0, 1 down, as the screen counts
};

// One axis of a stick (of 32767) as -1, 0 or 1. Between the press and the
// release it stays as it was, so that a stick held near the edge does not flicker.
int StickDirection(int previous, int value);

// Which game keys are down. A key is down while the keyboard or any pad
// holds it; the game hears of each change once, whichever device made it,
// releases before presses (a stick swung from one side to the other lets go
// first).
class KeyMerge {
public:
    static constexpr int kKeyCount = 256;
    using Keys = std::bitset<kKeyCount>;
    using Tell = void (*)(int virtualKey, bool down);

    // `padButtons` is the host's map; `tell` passes a change on to the game.
    KeyMerge(std::span<const PadButton> padButtons, Tell tell) : padButtons_(padButtons), tell_(tell) {}

    // A keyboard key went down or up. Two keys bound to one game key hold it
    // until both are up.
    void KeyboardChanged(int virtualKey, bool down);
    // A game key is down or up on the keyboard, however many keys say so.
    void KeyboardSet(int virtualKey, bool down);
    void ReleaseKeyboard();

    // The game keys a pad holds: its buttons by the host's map, its stick as arrows.
    Keys PadKeys(const PadState& pad) const;
    // Tells the game what changed since the last call; `pads` is every pad's PadKeys.
    void Sync(const Keys& pads);

private:
    std::span<const PadButton> padButtons_;
    Tell tell_;
    int keyboardHeld_[kKeyCount] = {};  // keys holding each game key down
    Keys shown_;                        // what the game has been told
};

}  // namespace core
