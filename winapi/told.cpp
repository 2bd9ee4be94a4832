// The lines told to the player, and their listener.
#include "winapi/told.h"

#include <cstdio>

namespace winapi {
namespace {

void (*g_listener)(const std::string& line) = nullptr;

}  // namespace

void Tell(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    if (g_listener != nullptr) g_listener(line);
}

void ListenToTold(void (*listener)(const std::string& line)) { g_listener = listener; }

}  // namespace winapi
