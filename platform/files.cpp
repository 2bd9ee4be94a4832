// The C runtime's file access for the game's backslash-separated names.
#include <cstdio>

#include "platform/platform_internal.h"
#include "platform/win.h"

FILE* OpenGameFile(const char* name, const char* mode) {
    if (name == nullptr || mode == nullptr) return nullptr;
    return std::fopen(platform::NativePath(name).c_str(), mode);
}
