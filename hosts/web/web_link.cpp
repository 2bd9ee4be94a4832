// A run's link in the page's program, which carries no zlib: the deflating
// is the page's (Debian's pako, a port of zlib's deflate that gives its very
// bytes, library_link.js), so that the page makes and reads the desktops'
// links with the one codec of player/run_link.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "hosts/web/web_host.h"
#include "hosts/web/web_internal.h"
#include "player/run_link.h"
#include "player/run_link_deflate.h"
#include "player/version.h"

namespace player::run_link {
namespace {

// The page's deflate, or inflate to at most `most` bytes, of `bytes` into `out`; false with why.
bool Zip(std::span<const uint8_t> bytes, bool inflate, size_t most, std::vector<uint8_t>* out, std::string* why) {
    int length = 0;
    char* made = kawauo_web_zip(bytes.data(), bytes.size(), inflate, most, &length);
    if (length < 0) {
        *why = WhyOf(static_cast<InflateProblem>(-1 - length));
        return false;
    }
    out->assign(made, made + length);
    std::free(made);
    return true;
}

}  // namespace

bool Deflate(std::span<const uint8_t> bytes, std::vector<uint8_t>* deflated, std::string* why) {
    return Zip(bytes, false, 0, deflated, why);
}

bool Inflate(std::span<const uint8_t> deflated, size_t most, std::vector<uint8_t>* bytes, std::string* why) {
    return Zip(deflated, true, most, bytes, why);
}

}  // namespace player::run_link

const char* kawauo_link() {
    static std::string link;
    std::string why;
    if (!player::run_link::MakeRunLink(&link, &why)) {
        std::fprintf(stderr, "kawauo: the run's link: %s\n", why.c_str());
        link.clear();
    }
    return link.c_str();
}

const char* kawauo_version() { return KAWAUO_VERSION; }
