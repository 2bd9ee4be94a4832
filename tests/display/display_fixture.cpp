// The display suites' shared fixture.
#include "tests/display/display_fixture.h"

#include <malloc.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "app/app.h"
#include "display/device.h"
#include "display/registry.h"
#include "hosts/headless/headless.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/surface_access.h"

void DisplayTest::SetUp() {
    headless::Reset();
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    previousDirectory_ = here;
    ASSERT_EQ(chdir(folder_.path().c_str()), 0);
    std::filesystem::create_directory("bmp");
    g_mainWindow = nullptr;
    g_appActive = 0;
    g_fatalLoadError = 0;
    std::memset(g_surfaces, 0, sizeof g_surfaces);
    std::memset(g_surfaceNames, 0, sizeof g_surfaceNames);
    g_surfaceCount = 0;
    std::memset(g_paletteFile, 0, sizeof g_paletteFile);
}

void DisplayTest::TearDown() {
    // The registry never releases in the normal case; the tests own its surfaces.
    for (int i = 0; i < g_surfaceCount; ++i) {
        if (g_surfaces[i] != nullptr) g_surfaces[i]->Release();
        g_surfaces[i] = nullptr;
    }
    g_surfaceCount = 0;
    ReleaseDirectDraw();
    g_mainWindow = nullptr;
    headless::Reset();
    if (!previousDirectory_.empty()) {
        EXPECT_EQ(chdir(previousDirectory_.c_str()), 0);
    }
}

void DisplayTest::StartDisplay() {
    ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWDEFAULT), 1);
    ASSERT_EQ(InitDirectDraw(), 1);
}

std::string EntryText(const PALETTEENTRY& e) {
    return std::to_string(e.peRed) + "," + std::to_string(e.peGreen) + "," + std::to_string(e.peBlue) + "," +
           std::to_string(e.peFlags);
}

void DisplayTest::ScramblePalette() {
    PALETTEENTRY junk[256];
    std::memset(junk, 0x5A, sizeof junk);
    std::memcpy(g_palette, junk, sizeof junk);
    ASSERT_EQ(g_ddPalette->SetEntries(0, 0, 256, junk), DD_OK);
}

void DisplayTest::WritePicture(const std::string& path, int width, int height, const std::vector<uint8_t>& indices) {
    PALETTEENTRY palette[256];
    FillDefaultPalette(palette);
    WriteBytes(path, EncodeBmp8(width, height, indices, palette));
}

void DisplayTest::WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(WriteFile(path, bytes)) << path;
}

std::vector<uint8_t> DisplayTest::PixelsOf(IDirectDrawSurface* surface) {
    const uint8_t* p = SurfaceAccess::Pixels(surface);
    return std::vector<uint8_t>(p, p + size_t(SurfaceAccess::Width(surface)) * SurfaceAccess::Height(surface));
}

uint8_t DisplayTest::BackPixel(int x, int y) { return SurfaceAccess::Pixels(g_back)[y * kScreenWidth + x]; }

void DisplayTest::FillBack(uint8_t index) {
    std::memset(SurfaceAccess::Pixels(g_back), index, size_t{kScreenWidth} * kScreenHeight);
    SurfaceAccess::Touch(g_back);
}

size_t DisplayTest::HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return 0;  // the sanitizer's allocator is not glibc's; its leak checker watches instead
#else
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

std::vector<uint8_t> Pattern(int width, int height, uint8_t seed, uint8_t corner) {
    std::vector<uint8_t> indices(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) indices[size_t(y) * width + x] = uint8_t(x + y * 7 + seed);
    indices[0] = corner;
    return indices;
}
