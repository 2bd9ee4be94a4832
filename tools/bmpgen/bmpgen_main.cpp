// kawauo-bmpgen: draws the game's 33 pictures and writes them as 8-bit BMP
// files sharing one palette, with the English forms of the lettered ones, a
// contact sheet and the desktop icon, also as the Windows program's icon and
// the web page's.
//   kawauo-bmpgen ROOT   writes ROOT/bmp/*.bmp, ROOT/bmp/en/*.bmp,
//                        ROOT/docs/contact-sheet.png,
//                        ROOT/data/icons/NxN/kawauo.png,
//                        ROOT/hosts/win32/kawauo.ico
//                        and ROOT/hosts/web/icons/kawauo-*.png
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/picture_table.h"
#include "tools/bmpgen/pictures.h"
#include "tools/bmpwrite/bmp_write.h"

namespace {

using pictures::Picture;

// One picture of the game's table, drawn; lettering in `language`.
art::Canvas Draw(const PictureFile& file, winapi::texts::Language language) {
    switch (file.role) {
        case PictureRole::River: return pictures::River();
        case PictureRole::MutationFlash: return pictures::MutationFlash();
        case PictureRole::HitFlash: return pictures::HitFlash();
        case PictureRole::Pause: return pictures::Pause(language);
        case PictureRole::Bubbles: return pictures::Bubbles();
        case PictureRole::Title: return pictures::Title(language);
        case PictureRole::Fish: return pictures::Fish(file.index + 1);
        case PictureRole::Wake: return pictures::Wake();
        case PictureRole::Sokodikara: return pictures::HiddenStrength(file.index);
        case PictureRole::Tomogui: return pictures::Eating(file.index);
        case PictureRole::Fait: return pictures::FightingSpirit(file.index);
        case PictureRole::Mutation: return pictures::Mutation(file.index);
        case PictureRole::Drift: return pictures::Drift(file.index);
    }
    return art::Canvas(file.width, file.height);
}

// The backgrounds cover the screen; every other picture is drawn with its key.
bool Keyed(PictureRole role) {
    return role != PictureRole::River && role != PictureRole::MutationFlash && role != PictureRole::HitFlash;
}

// The pictures with words drawn in: the English game shows its own forms.
bool Lettered(PictureRole role) { return role == PictureRole::Title || role == PictureRole::Pause; }

// One picture of the table drawn under `name`, checked against the size the
// game expects of it.
Picture DrawAs(const std::string& name, const PictureFile& file, winapi::texts::Language language, bool* ok) {
    Picture p{name, Draw(file, language), Keyed(file.role), {}};
    if (p.canvas.w != file.width || p.canvas.h != file.height) {
        std::fprintf(stderr, "%s is drawn %dx%d, the game expects %dx%d\n", name.c_str(), p.canvas.w, p.canvas.h,
                     file.width, file.height);
        *ok = false;
    }
    return p;
}

// Every picture, in the order the game loads them, then the English forms.
std::vector<Picture> DrawAll(bool* ok) {
    std::vector<Picture> all;
    for (const PictureFile& file : kPictureFiles)
        all.push_back(DrawAs(file.name, file, winapi::texts::Language::kJapanese, ok));
    for (const PictureFile& file : kPictureFiles)
        if (Lettered(file.role))
            all.push_back(DrawAs(std::string("en/") + file.name, file, winapi::texts::Language::kEnglish, ok));
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
    for (const char* dir : {"bmp/en", "docs", "hosts/win32", "hosts/web/icons"})
        std::filesystem::create_directories(root / dir, ec);

    bool ok = true;
    std::vector<Picture> all = DrawAll(&ok);
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
    // The usual sizes of the desktop's icon themes; those Windows asks for
    // most (the taskbar, Explorer's views) go into the program's icon too.
    std::vector<pictures::SizedPng> windows;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string square = std::to_string(size) + "x" + std::to_string(size);
        std::filesystem::create_directories(root / "data" / "icons" / square, ec);
        const std::string path = (root / "data" / "icons" / square / "kawauo.png").string();
        if (!pictures::WriteIcon(path, all[6], size)) ok = false;
        if (size != 22 && size != 128) windows.push_back(pictures::SizedPng{path, size});
    }
    if (!pictures::WriteIconFile((root / "hosts" / "win32" / "kawauo.ico").string(), windows)) ok = false;
    // The web page's: a phone's home screen (180, Apple's), an installed
    // app's (192, 512) and its maskable one.
    const std::filesystem::path web = root / "hosts" / "web" / "icons";
    for (int size : {180, 192, 512})
        if (!pictures::WriteIcon((web / ("kawauo-" + std::to_string(size) + ".png")).string(), all[6], size))
            ok = false;
    if (!pictures::WriteMaskableIcon((web / "kawauo-maskable-512.png").string(), all[6], 512)) ok = false;
    return ok ? 0 : 1;
}
