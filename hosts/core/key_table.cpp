// The keys' table: the named keys written out, letters, digits, F-keys and
// the key pad's digits made by rule.
#include "hosts/core/key_table.h"

#include <algorithm>
#include <vector>

namespace core {
namespace {

const KeyRow kNamed[] = {
    {"Space", 0x20, "Space"},
    {"Tab", 0x09, "Tab"},
    {"Escape", 0x1B, "Escape"},
    {"Return", 0x0D, "Enter"},
    {"Backspace", 0x08, "Backspace"},
    {"Insert", 0x2D, "Insert"},
    {"Delete", 0x2E, "Delete"},
    {"Home", 0x24, "Home"},
    {"End", 0x23, "End"},
    {"PageUp", 0x21, "PageUp"},
    {"PageDown", 0x22, "PageDown"},
    {"Left", 0x25, "ArrowLeft"},
    {"Up", 0x26, "ArrowUp"},
    {"Right", 0x27, "ArrowRight"},
    {"Down", 0x28, "ArrowDown"},
    {"Left Shift", 0xA0, "ShiftLeft"},
    {"Right Shift", 0xA1, "ShiftRight"},
    {"Left Ctrl", 0xA2, "ControlLeft"},
    {"Right Ctrl", 0xA3, "ControlRight"},
    {"Left Alt", 0xA4, "AltLeft"},
    {"Right Alt", 0xA5, "AltRight"},
    {"Left GUI", 0x5B, "MetaLeft"},
    {"Right GUI", 0x5C, "MetaRight"},
    {"CapsLock", 0x14, "CapsLock"},
    {"Menu", 0x5D, "ContextMenu"},
    {",", 0xBC, "Comma"},
    {".", 0xBE, "Period"},
    {"/", 0xBF, "Slash"},
    {";", 0xBA, "Semicolon"},
    {"'", 0xDE, "Quote"},
    {"[", 0xDB, "BracketLeft"},
    {"]", 0xDD, "BracketRight"},
    {"\\", 0xDC, "Backslash"},
    {"-", 0xBD, "Minus"},
    {"=", 0xBB, "Equal"},
    {"`", 0xC0, "Backquote"},
    {"Keypad .", 0x6E, "NumpadDecimal"},
    {"Keypad +", 0x6B, "NumpadAdd"},
    {"Keypad -", 0x6D, "NumpadSubtract"},
    {"Keypad *", 0x6A, "NumpadMultiply"},
    {"Keypad /", 0x6F, "NumpadDivide"},
    {"Keypad ,", 0x6C, "NumpadComma"},
    {"Keypad Enter", kKeypadEnter, "NumpadEnter"},
};

std::vector<KeyRow> MakeTable() {
    std::vector<KeyRow> table(std::begin(kNamed), std::end(kNamed));
    for (char c = 'A'; c <= 'Z'; ++c) table.push_back({std::string(1, c), c, std::string("Key") + c});
    for (char c = '0'; c <= '9'; ++c) {
        table.push_back({std::string(1, c), c, std::string("Digit") + c});
        table.push_back({std::string("Keypad ") + c, 0x60 + (c - '0'), std::string("Numpad") + c});
    }
    for (int f = 1; f <= 24; ++f) table.push_back({"F" + std::to_string(f), 0x70 + f - 1, "F" + std::to_string(f)});
    return table;
}

const std::vector<KeyRow>& Table() {
    static const std::vector<KeyRow> table = MakeTable();
    return table;
}

bool SameLetters(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

template <typename Matches>
const KeyRow* Find(Matches matches) {
    const std::vector<KeyRow>& table = Table();
    auto found = std::find_if(table.begin(), table.end(), matches);
    return found == table.end() ? nullptr : &*found;
}

}  // namespace

const KeyRow* KeyByName(std::string_view name) {
    return Find([name](const KeyRow& row) { return SameLetters(row.name, name); });
}

const KeyRow* KeyByVirtualKey(int virtualKey) {
    return Find([virtualKey](const KeyRow& row) { return row.virtualKey == virtualKey; });
}

const KeyRow* KeyByCode(std::string_view code) {
    return Find([code](const KeyRow& row) { return row.code == code; });
}

}  // namespace core
