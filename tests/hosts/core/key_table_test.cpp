// The keys' table: a key found by its name (in any case), its Windows
// virtual key and its browser code alike; no two rows share one of them;
// every key the settings bind by default is there.
#include "hosts/core/key_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "player/settings.h"

namespace {

TEST(KeyTable, AKeyIsFoundByNameNumberAndCodeAlike) {
    struct Row {
        const char* name;
        const char* written;  // as a player may write it
        int virtualKey;
        const char* code;
    };
    const Row rows[] = {
        {"Space", "space", 0x20, "Space"},
        {"Return", "RETURN", 0x0D, "Enter"},
        {"A", "a", 0x41, "KeyA"},
        {"7", "7", 0x37, "Digit7"},
        {"F1", "f1", 0x70, "F1"},
        {"F24", "F24", 0x87, "F24"},
        {"Keypad 0", "keypad 0", 0x60, "Numpad0"},
        {"Keypad 8", "KEYPAD 8", 0x68, "Numpad8"},
        {"Left Shift", "left shift", 0xA0, "ShiftLeft"},
        {"Right Alt", "Right Alt", 0xA5, "AltRight"},
        {",", ",", 0xBC, "Comma"},
        {"Keypad ,", "keypad ,", 0x6C, "NumpadComma"},
        {"Keypad Enter", "Keypad enter", core::kKeypadEnter, "NumpadEnter"},
    };
    for (const Row& row : rows) {
        const core::KeyRow* byName = core::KeyByName(row.written);
        ASSERT_NE(byName, nullptr) << row.written;
        EXPECT_EQ(byName->name, row.name);
        EXPECT_EQ(byName->virtualKey, row.virtualKey) << row.name;
        EXPECT_EQ(byName->code, row.code) << row.name;
        EXPECT_EQ(core::KeyByVirtualKey(row.virtualKey), byName) << row.name;
        EXPECT_EQ(core::KeyByCode(row.code), byName) << row.name;
    }
    for (const char* unknown : {"", "F0", "F25", "Keypad 10", "Keypad", "Comma", "Bogus", "AA"})
        EXPECT_EQ(core::KeyByName(unknown), nullptr) << unknown;
    EXPECT_EQ(core::KeyByCode("keya"), nullptr) << "codes are as browsers write them";
    EXPECT_EQ(core::KeyByVirtualKey(0x0C), nullptr) << "VK_CLEAR has no name";
}

TEST(KeyTable, NoTwoKeysShareANameANumberOrACode) {
    std::set<std::string> names, codes;
    std::set<int> numbers;
    int rows = 0;
    for (int key = 0; key < 0x200; ++key) {
        const core::KeyRow* row = core::KeyByVirtualKey(key);
        if (row == nullptr) continue;
        ++rows;
        std::string lower = row->name;
        for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        EXPECT_TRUE(names.insert(lower).second) << row->name;
        EXPECT_TRUE(codes.insert(row->code).second) << row->code;
        EXPECT_EQ(core::KeyByName(row->name), row) << row->name;
    }
    EXPECT_EQ(rows, 43 + 26 + 10 + 10 + 24);
    const player::settings::Settings defaults = player::settings::Defaults();
    for (const auto& keys : defaults.keys)
        for (const std::string& name : keys) EXPECT_NE(core::KeyByName(name), nullptr) << name;
}

}  // namespace
