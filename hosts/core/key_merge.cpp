// Keyboard and gamepads merged into the game's keys, for every host.
#include "hosts/core/key_merge.h"

#include <algorithm>
#include <iterator>

#include "winapi/win.h"

namespace core {

namespace {

constexpr int kStickPress = 16000;    // of 32767: the stick counts as an arrow beyond this
constexpr int kStickRelease = 12000;  // and stops below this

bool KnownKey(int virtualKey) { return virtualKey > 0 && virtualKey < KeyMerge::kKeyCount; }

}  // namespace

int StickDirection(int previous, int value) {
    int magnitude = value < 0 ? -value : value;
    if (magnitude > kStickPress) return value < 0 ? -1 : 1;
    if (magnitude < kStickRelease) return 0;
    return previous;
}

void KeyMerge::KeyboardChanged(int virtualKey, bool down) {
    if (!KnownKey(virtualKey)) return;
    int& holders = keyboardHeld_[virtualKey];
    holders = down ? holders + 1 : std::max(0, holders - 1);
}

void KeyMerge::KeyboardSet(int virtualKey, bool down) {
    if (KnownKey(virtualKey)) keyboardHeld_[virtualKey] = down ? 1 : 0;
}

void KeyMerge::ReleaseKeyboard() { std::fill(std::begin(keyboardHeld_), std::end(keyboardHeld_), 0); }

KeyMerge::Keys KeyMerge::PadKeys(const PadState& pad) const {
    Keys held;
    for (const PadButton& b : padButtons_)
        if ((pad.buttons & b.mask) != 0) held.set(static_cast<size_t>(b.virtualKey));
    if (pad.stickX < 0) held.set(VK_LEFT);
    if (pad.stickX > 0) held.set(VK_RIGHT);
    if (pad.stickY < 0) held.set(VK_UP);
    if (pad.stickY > 0) held.set(VK_DOWN);
    return held;
}

void KeyMerge::Sync(const Keys& pads) {
    Keys held = pads;
    for (int vk = 1; vk < kKeyCount; ++vk)
        if (keyboardHeld_[vk] > 0) held.set(static_cast<size_t>(vk));
    for (bool press : {false, true}) {
        for (int vk = 1; vk < kKeyCount; ++vk) {
            auto bit = static_cast<size_t>(vk);
            if (held.test(bit) != press || held.test(bit) == shown_.test(bit)) continue;
            shown_.set(bit, press);
            tell_(vk, press);
        }
    }
}

}  // namespace core
