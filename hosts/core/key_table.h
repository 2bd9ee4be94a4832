// The keyboard's keys by the names the settings file gives them on every
// system, beside the number Windows gives each (its virtual key) and the
// code a browser gives it (KeyboardEvent.code): one table for the drivers
// that meet keys by number or by code.
#pragma once
#include <string>
#include <string_view>

namespace core {

struct KeyRow {
    std::string name;  // "Space", "A", "F12", "Keypad 8", "Left Shift", ","
    int virtualKey;    // Windows' VK_ number (the key pad's Enter: kKeypadEnter)
    std::string code;  // "Space", "KeyA", "F12", "Numpad8", "ShiftLeft", "Comma"
};

// Windows tells the key pad's Enter as Return with the extended flag.
constexpr int kKeypadEnter = 0x100 | 0x0D;

// A key by its name (in any case), its virtual key or its code; null for a
// key the table does not hold.
const KeyRow* KeyByName(std::string_view name);
const KeyRow* KeyByVirtualKey(int virtualKey);
const KeyRow* KeyByCode(std::string_view code);

}  // namespace core
