// kawauo-bmpgen: draws the game's 33 pictures and writes them as 8-bit BMP
// files sharing one palette, with a contact sheet and the desktop icon.
//   kawauo-bmpgen ROOT   writes ROOT/bmp/*.bmp, ROOT/docs/contact-sheet.png
//                        and ROOT/data/kawauo.png
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/bmpgen/pictures.h"
#include "tools/bmpwrite/bmp_write.h"

namespace {

using pictures::Picture;

// Every picture, in the order the game loads them.
std::vector<Picture> DrawAll() {
    std::vector<Picture> all;
    auto add = [&](std::string name, art::Canvas canvas, bool keyed) {
        all.push_back({std::move(name), std::move(canvas), keyed, {}});
    };
    add("back.bmp", pictures::River(), false);
    add("back2.bmp", pictures::MutationFlash(), false);
    add("back3.bmp", pictures::HitFlash(), false);
    add("push.bmp", pictures::Pause(), true);
    add("awa.bmp", pictures::Bubbles(), true);
    add("opn.bmp", pictures::Title(), true);
    add("fish1.bmp", pictures::Fish(1), true);
    add("fish2.bmp", pictures::Fish(2), true);
    add("fisht.bmp", pictures::Wake(), true);
    for (int p = 0; p < 3; ++p) add("sokodikara" + std::to_string(p + 1) + ".bmp", pictures::HiddenStrength(p), true);
    for (int p = 0; p < 3; ++p) add("tomogui" + std::to_string(p + 1) + ".bmp", pictures::Eating(p), true);
    for (int p = 0; p < 3; ++p) add("fait" + std::to_string(p + 1) + ".bmp", pictures::FightingSpirit(p), true);
    for (int i = 0; i < 9; ++i) add("henge" + std::to_string(i) + ".bmp", pictures::Mutation(i), true);
    for (int digit : {1, 0, 2, 4, 5, 3}) add("syougai" + std::to_string(digit) + ".bmp", pictures::Drift(digit), true);
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ROOT\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    std::error_code ec;
    for (const char* dir : {"bmp", "docs", "data"}) std::filesystem::create_directories(root / dir, ec);

    std::vector<Picture> all = DrawAll();
    bool ok = true;
    for (Picture& p : all) {
        // The river is dithered hardest: its gradients span the whole screen.
        p.indices = art::Quantize(p.canvas, p.name == "back.bmp" ? 12 : 9);
        const std::string path = (root / "bmp" / p.name).string();
        if (!WriteFile(path, EncodeBmp8(p.canvas.w, p.canvas.h, p.indices, art::Palette()))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    if (!pictures::WriteContactSheet((root / "docs" / "contact-sheet.png").string(), all)) ok = false;
    if (!pictures::WriteIcon((root / "data" / "kawauo.png").string(), all[6])) ok = false;
    return ok ? 0 : 1;
}
