// A headless display for the display and shell suites: a temporary working
// folder with small pictures of our own, the main window, and the device.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/support.h"
#include "winapi/ddraw.h"

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The main window, then the whole device; both must stand.
    static void StartDisplay();
    // An 8-bit picture at `path` (a path of this system, e.g. "bmp/a.bmp")
    // whose colour table is the 3-3-2 start-up palette, so each index is
    // copied onto a surface unchanged.
    static void WritePicture(const std::string& path, int width, int height, const std::vector<uint8_t>& indices);
    static void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
    // Junk in both the game's copy of the palette and the palette object, so
    // an entry the next load leaves unset shows.
    static void ScramblePalette();

    static std::vector<uint8_t> PixelsOf(IDirectDrawSurface* surface);
    static uint8_t BackPixel(int x, int y);
    // Fills the back buffer with one index, straight into its pixels.
    static void FillBack(uint8_t index);
    // Bytes the C heap holds now; 0 where the allocator cannot tell.
    static size_t HeapInUse();

private:
    std::string previousDirectory_;
    testsupport::TempFolder folder_{"kawauo-display"};  // removed after TearDown has left it
};

// A palette entry as "red,green,blue,flags", so a message shows all four.
std::string EntryText(const PALETTEENTRY& e);

// A width x height picture of indices (x + y * 7 + seed) & 0xFF with
// `corner` at the top-left.
std::vector<uint8_t> Pattern(int width, int height, uint8_t seed, uint8_t corner);
