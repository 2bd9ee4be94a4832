// The names of the keys the game reads, as scripts and recordings write them.
#pragma once
#include <array>
#include <string_view>

#include "winapi/win.h"

namespace player {

struct KeyName {
    const char* name;
    int virtualKey;
};

inline constexpr std::array<KeyName, 10> kKeyNames = {{
    {"SPACE", VK_SPACE},
    {"TAB", VK_TAB},
    {"ESCAPE", VK_ESCAPE},
    {"LEFT", VK_LEFT},
    {"UP", VK_UP},
    {"RIGHT", VK_RIGHT},
    {"DOWN", VK_DOWN},
    {"F1", VK_F1},
    {"F2", VK_F2},
    {"F3", VK_F3},
}};

// The name of a key the game reads; null for any other.
inline const char* KeyNameOf(int virtualKey) {
    for (const KeyName& key : kKeyNames) {
        if (key.virtualKey == virtualKey) return key.name;
    }
    return nullptr;
}

// The virtual key of a name; 0 for a name that is not one of them.
inline int VirtualKeyNamed(std::string_view name) {
    for (const KeyName& key : kKeyNames) {
        if (name == key.name) return key.virtualKey;
    }
    return 0;
}

}  // namespace player
