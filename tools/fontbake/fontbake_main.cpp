// kawauo-fontbake: writes the game's baked font and CP932 tables (font/ in
// the source tree) from the installed font packages and glibc.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/fontbake/bake.h"

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::fprintf(stderr, "kawauo-fontbake: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: kawauo-fontbake DIR\n"
                     "Writes DIR/glyphs16.bin and DIR/cp932.bin (the game's font/ folder).\n");
        return 2;
    }
    fontbake::FreeTypeFont font;
    if (!font.Complete()) {
        std::fprintf(stderr, "kawauo-fontbake: needs xfonts-shinonome, xfonts-efont-unicode and glibc's CP932\n");
        return 1;
    }
    std::vector<uint8_t> cp932 = fontbake::BakeCp932();
    if (cp932.empty()) {
        std::fprintf(stderr, "kawauo-fontbake: iconv's CP932 does not fit the table\n");
        return 1;
    }
    const std::string dir = argv[1];
    return Write(dir + "/glyphs16.bin", fontbake::BakeGlyphs(font)) && Write(dir + "/cp932.bin", cp932) ? 0 : 1;
}
