// The SDL host's screenshot key (F12): the last picture shown, as the same
// palette PNG the sim's shots are, in the player's pictures folder.
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "hosts/sdl/sdl_internal.h"
#include "hosts/shared/png_write.h"

namespace {

namespace fs = std::filesystem;

struct LastFrame {
    std::vector<uint8_t> pixels;
    PALETTEENTRY palette[256] = {};
};

LastFrame g_lastFrame;

// $XDG_PICTURES_DIR/kawauo, else ~/Pictures/kawauo; empty when neither is known.
fs::path ShotFolder() {
    const char* pictures = std::getenv("XDG_PICTURES_DIR");
    if (pictures != nullptr && pictures[0] == '/') return fs::path(pictures) / "kawauo";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return fs::path(home) / "Pictures" / "kawauo";
    return {};
}

// kawauo-YYYYMMDD-HHMMSS.png, with -2, -3... for more shots within a second.
fs::path FreeName(const fs::path& folder) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "kawauo-%Y%m%d-%H%M%S", &local);
    std::error_code error;
    fs::path path = folder / (std::string(stamp) + ".png");
    for (int n = 2; fs::exists(path, error) && n < 100; ++n)
        path = folder / (std::string(stamp) + "-" + std::to_string(n) + ".png");
    return path;
}

}  // namespace

namespace sdlhost {

void KeepFrame(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    g_lastFrame.pixels.assign(pixels, pixels + kScreenWidth * kScreenHeight);
    std::memcpy(g_lastFrame.palette, palette, sizeof g_lastFrame.palette);
}

void TakeScreenshot() {
    if (g_lastFrame.pixels.empty()) return;
    fs::path folder = ShotFolder();
    std::error_code error;
    if (folder.empty() || (fs::create_directories(folder, error), error)) {
        std::fprintf(stderr, "kawauo: no screenshot: cannot make the folder %s: %s\n", folder.c_str(),
                     folder.empty() ? "no home folder" : error.message().c_str());
        return;
    }
    fs::path path = FreeName(folder);
    std::string why;
    if (platform::WritePalettePng(path.string(), g_lastFrame.pixels.data(), kScreenWidth, kScreenHeight,
                                  g_lastFrame.palette, &why))
        std::fprintf(stderr, "kawauo: screenshot %s\n", path.c_str());
    else std::fprintf(stderr, "kawauo: no screenshot: %s\n", why.c_str());
}

}  // namespace sdlhost
