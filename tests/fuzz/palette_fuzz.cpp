// Fuzz target: any bytes as the palette file through the palette reader, which
// must set the entries the file's headers give and hand all 256 to the palette.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "display/device.h"
#include "tests/badinput/palette_model.h"
#include "tests/fuzz/fuzz_entry.h"
#include "winapi/win.h"

namespace {

// A window for the device to bind to, then the headless device, once; the
// file goes in a folder of its own, removed at exit. The working directory
// stays: libFuzzer reads its corpus by relative names.
struct Display {
    std::string folder;
    std::string file;
    Display() {
        // In memory where the system offers it: the file is written every run.
        std::error_code ec;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::string pattern = (base / "kawauo-palette-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder = pattern;
        file = folder + "/back.bmp";
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "2DGAME";
        if (RegisterClassA(&windowClass) == 0) std::abort();
        HWND window = CreateWindowExA(0, "2DGAME", "2DGAME", WS_POPUP | WS_VISIBLE, 0, 0, kScreenWidth, kScreenHeight,
                                      nullptr, nullptr, nullptr, nullptr);
        if (window == nullptr) std::abort();
        SetFocus(window);
        if (InitDirectDraw() != 1) std::abort();
    }
    ~Display() {
        ReleaseDirectDraw();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

bool Same(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue && a.peFlags == b.peFlags;
}

}  // namespace

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Display display;
    const std::vector<uint8_t> file(data, data + size);
    std::FILE* out = std::fopen(display.file.c_str(), "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0)
        std::abort();
    // Junk first, so an entry the reader leaves alone shows.
    PALETTEENTRY junk[256];
    for (PALETTEENTRY& e : junk) e = PALETTEENTRY{0x5A, 0xA5, 0x5A, 0xA5};
    for (int i = 0; i < 256; ++i) g_palette[i] = junk[i];
    if (g_ddPalette->SetEntries(0, 0, 256, junk) != DD_OK) std::abort();

    if (LoadPaletteFromBitmap(display.file.c_str()) != DD_OK) std::abort();
    PALETTEENTRY want[256];
    badinput::ExpectedPalette(file, junk, want);
    PALETTEENTRY shown[256];
    if (g_ddPalette->GetEntries(0, 0, 256, shown) != DD_OK) std::abort();
    for (int i = 0; i < 256; ++i)
        if (!Same(g_palette[i], want[i]) || !Same(shown[i], want[i])) std::abort();
    return 0;
}
