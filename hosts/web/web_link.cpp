// A run's link in the page's program, which carries no zlib: the deflating
// belongs to the page (a port of zlib's deflate, which gives its bytes), so
// the program itself neither makes a link nor reads one from a file.
#include "player/run_link_deflate.h"

namespace player::run_link {

bool Deflate(std::span<const uint8_t>, std::vector<uint8_t>*, std::string* why) {
    *why = "the page's program has no deflate of its own";
    return false;
}

bool Inflate(std::span<const uint8_t>, size_t, std::vector<uint8_t>*, std::string* why) {
    *why = "the page's program reads no link from a file";
    return false;
}

}  // namespace player::run_link
