// Writes the settings fuzzer's seeds: the file the game writes for a new
// player and for one who has changed everything, and hand-made files a
// player might leave (other spacing, DOS line ends, refused lines).
#include <cstdio>
#include <string>
#include <vector>

#include "player/settings.h"
#include "tools/bmpwrite/bmp_write.h"

namespace {

struct Seed {
    std::string name;
    std::string text;
};

player::settings::Settings ChangedEverything() {
    player::settings::Settings s = player::settings::Defaults();
    s.fullscreen = false;
    s.windowWidth = 1280;
    s.windowHeight = 960;
    s.scale = player::options::ScaleMode::kInteger;
    s.lang = winapi::texts::Language::kEnglish;
    s.outline = true;
    for (std::vector<std::string>& keys : s.keys) keys.push_back("Left Shift");
    return s;
}

std::string WithDosLineEnds(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

std::vector<Seed> Seeds() {
    // Every key name is one the seeds may use.
    const player::settings::KeyKnown any = [](const std::string&) { return true; };
    const std::string fresh = player::settings::Format(ChangedEverything(), player::settings::Defaults(), nullptr, any);
    return {
        {"new", fresh},
        {"changed", player::settings::Format(player::settings::Defaults(), ChangedEverything(), &fresh, any)},
        {"dos", WithDosLineEnds(fresh)},
        {"spacing", "  fullscreen=no\n\twindow =  800x600  \nscale= fit\nlang =ja\n# a note\n\nkey.up = W ,Up\n"},
        {"smallest", "window = 320x240\nwindow = default\nwindow = 16384x16384\n"},
        {"refused", "fullscreen = no\nwindow = 100x100\nlang = en\n"},
        {"unknown", "# mine\nvolume = 3\njust words\nkey.jump = Space\n"},
        {"keys", "key.f1 =\nkey.f2 = F2,,2\nkey.f3 = Bogus\n"},
        {"unended", "outline = yes\nkey.space = Space, Return"},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const std::vector<Seed> seeds = Seeds();
    for (const Seed& seed : seeds) {
        const std::string path = std::string(argv[1]) + "/" + seed.name + ".settings";
        if (!WriteFile(path, std::vector<uint8_t>(seed.text.begin(), seed.text.end()))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("%zu settings seeds in %s\n", seeds.size(), argv[1]);
    return 0;
}
