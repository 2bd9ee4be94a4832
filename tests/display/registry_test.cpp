// The surface registry: registrations in order, the overflow and creation
// failures, names, and bringing lost surfaces back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "display/device.h"
#include "display/registry.h"
#include "display/surface.h"
#include "display/texts.h"
#include "hosts/headless/headless.h"
#include "tests/display/display_fixture.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/cp932.h"
#include "winapi/surface_access.h"

namespace {

IDirectDrawSurface* const kUntouched = reinterpret_cast<IDirectDrawSurface*>(uintptr_t{0x5EED});

std::string Utf8(const char* cp932) { return winapi::Cp932ToUtf8(cp932, std::strlen(cp932)); }

// The quit request is waiting, with exit code 0.
bool QuitPosted() {
    MSG msg{};
    return PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT && msg.wParam == 0;
}

class RegistryTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay();
        WritePicture("bmp/p.bmp", 6, 4, Pattern(6, 4, 0, 0x33));
    }
    static void ExpectCreationErrorBoxes(size_t count) {
        ASSERT_EQ(headless::MessageBoxes().size(), count);
        for (const headless::MessageBoxRecord& box : headless::MessageBoxes()) {
            EXPECT_EQ(box.caption, Utf8(kTextCreateFailedCaption));
            EXPECT_EQ(box.text, Utf8(kTextCreateFailed));
        }
    }
};

TEST_F(RegistryTest, RegistrationsAreKeptInCallOrder) {
    IDirectDrawSurface* holders[33];
    for (int i = 0; i < 33; ++i) {
        WritePicture("bmp/p" + std::to_string(i) + ".bmp", 2 + i, 3, Pattern(2 + i, 3, uint8_t(i), 0));
        RegisterSurface(&holders[i], ("bmp\\p" + std::to_string(i) + ".bmp").c_str());
    }
    EXPECT_EQ(g_surfaceCount, 33);
    for (int i = 0; i < 33; ++i) {
        ASSERT_NE(holders[i], nullptr) << i;
        EXPECT_EQ(g_surfaces[i], holders[i]) << i;
        EXPECT_STREQ(g_surfaceNames[i], ("bmp\\p" + std::to_string(i) + ".bmp").c_str());
        EXPECT_EQ(SurfaceAccess::Width(holders[i]), 2 + i);
    }
    EXPECT_EQ(headless::MessageBoxes().size(), 0u);
    EXPECT_EQ(g_fatalLoadError, 0);
    EXPECT_FALSE(QuitPosted());
}

TEST_F(RegistryTest, TheHundredAndFirstReleasesEverySurfaceAndStopsTheRun) {
    IDirectDrawSurface* holders[kMaxSurfaces];
    for (IDirectDrawSurface*& holder : holders) {
        RegisterSurface(&holder, "bmp\\p.bmp");
        ASSERT_NE(holder, nullptr);
        holder->AddRef();  // our own hold, to see the registry let go of its one
    }
    EXPECT_EQ(g_surfaceCount, kMaxSurfaces);
    EXPECT_FALSE(QuitPosted());
    IDirectDrawSurface* extra = kUntouched;
    RegisterSurface(&extra, "bmp\\p.bmp");
    EXPECT_EQ(extra, kUntouched);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].caption, Utf8(kTextRegistryOverflowCaption));
    EXPECT_EQ(headless::MessageBoxes()[0].text, Utf8(kTextRegistryOverflow));
    EXPECT_EQ(g_fatalLoadError, 1);
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ(g_surfaceCount, kMaxSurfaces);
    for (int i = 0; i < kMaxSurfaces; ++i) {
        EXPECT_EQ(g_surfaces[i], nullptr) << i;
        EXPECT_STREQ(g_surfaceNames[i], "bmp\\p.bmp") << i;
    }
    // A further overflow shows its box again and finds nothing left to release.
    RegisterSurface(&extra, "bmp\\p.bmp");
    EXPECT_EQ(headless::MessageBoxes().size(), 2u);
    headless::LoseSurfaces();
    RestoreSurfaces();  // the emptied slots are passed over
    for (IDirectDrawSurface* holder : holders) EXPECT_EQ(holder->Release(), 0u) << "released once by the registry";
}

TEST_F(RegistryTest, AMissingBitmapStopsTheRunAndKeepsTheOthers) {
    IDirectDrawSurface *a = nullptr, *b = nullptr, *missing = kUntouched, *again = kUntouched, *c = nullptr;
    RegisterSurface(&a, "bmp\\p.bmp");
    RegisterSurface(&b, "bmp\\p.bmp");
    RegisterSurface(&missing, "bmp\\missing.bmp");
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(g_surfaceCount, 2);
    EXPECT_EQ(g_surfaces[0], a);
    EXPECT_EQ(g_surfaces[1], b);
    EXPECT_EQ(g_fatalLoadError, 1);
    EXPECT_TRUE(QuitPosted());
    ExpectCreationErrorBoxes(1);
    // The caller goes on: each further failure has its own box; successes still count.
    RegisterSurface(&again, "bmp\\other.bmp");
    EXPECT_EQ(again, nullptr);
    ExpectCreationErrorBoxes(2);
    RegisterSurface(&c, "bmp\\p.bmp");
    EXPECT_EQ(g_surfaceCount, 3);
    EXPECT_EQ(g_surfaces[2], c);
}

TEST_F(RegistryTest, TheNameIsCopied) {
    char name[] = "bmp\\p.bmp";
    IDirectDrawSurface* s = nullptr;
    RegisterSurface(&s, name);
    std::memcpy(name, "xyz", 3);
    EXPECT_STREQ(g_surfaceNames[0], "bmp\\p.bmp");
}

// A name must fit its 100-byte slot whole; a longer one is refused like a
// missing picture even though its file exists.
TEST_F(RegistryTest, NamesLongerThanTheSlotAreRefused) {
    const struct {
        size_t length;
        bool fits;
    } rows[] = {{99, true}, {100, false}, {101, false}, {180, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.length);
        std::string file = std::string(row.length - 8, 'n') + ".bmp";
        WritePicture("bmp/" + file, 3, 3, Pattern(3, 3, 0, 0));
        std::string name = "bmp\\" + file;
        ASSERT_EQ(name.size(), row.length);
        int32_t count = g_surfaceCount;
        size_t boxes = headless::MessageBoxes().size();
        g_fatalLoadError = 0;
        IDirectDrawSurface* s = kUntouched;
        RegisterSurface(&s, name.c_str());
        EXPECT_EQ(s != nullptr, row.fits);
        EXPECT_EQ(g_surfaceCount, count + (row.fits ? 1 : 0));
        EXPECT_EQ(g_fatalLoadError, row.fits ? 0 : 1);
        EXPECT_EQ(headless::MessageBoxes().size(), boxes + (row.fits ? 0 : 1));
        if (row.fits) {
            EXPECT_EQ(g_surfaceNames[count], name);
        } else {
            EXPECT_EQ(headless::MessageBoxes().back().caption, Utf8(kTextCreateFailedCaption));
        }
    }
}

class RestoreTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        // The palette file differs from the start-up palette in entry 0 only,
        // so pictures still match to their own indices.
        PALETTEENTRY palette[256];
        FillDefaultPalette(palette);
        palette[0] = PALETTEENTRY{1, 2, 3, 0};
        WriteBytes("bmp/back.bmp", EncodeBmp8(1, 1, {0}, palette));
        std::strcpy(g_paletteFile, "bmp\\back.bmp");
        picture_ = Pattern(6, 4, 0, 0x33);
        RegisterSurface(&surface_, "bmp\\p.bmp");
        ASSERT_NE(surface_, nullptr);
    }
    static bool PaletteReloaded() { return g_palette[0].peRed == 1 && g_palette[0].peBlue == 3; }
    IDirectDrawSurface* surface_ = nullptr;
    std::vector<uint8_t> picture_;
};

TEST_F(RestoreTest, NothingLostChangesNothing) {
    SurfaceAccess::Pixels(surface_)[5] = 0x99;
    RestoreSurfaces();
    EXPECT_FALSE(PaletteReloaded());
    EXPECT_EQ(SurfaceAccess::Pixels(surface_)[5], 0x99) << "redrawn though not lost";
}

TEST_F(RestoreTest, OnlyTheLostPrimaryComesBackWithThePalette) {
    headless::LoseSurfaces();
    ASSERT_EQ(surface_->Restore(), DD_OK);  // its pixels are now blank
    RestoreSurfaces();
    EXPECT_EQ(g_primary->IsLost(), DD_OK);
    EXPECT_EQ(g_back->IsLost(), DD_OK);
    EXPECT_TRUE(PaletteReloaded());
    EXPECT_EQ(PixelsOf(surface_), std::vector<uint8_t>(picture_.size(), 0)) << "redrawn though not lost";
}

TEST_F(RestoreTest, LostSurfacesAreRedrawnAndKeepTheirKey) {
    headless::LoseSurfaces();
    RestoreSurfaces();
    EXPECT_EQ(surface_->IsLost(), DD_OK);
    EXPECT_EQ(PixelsOf(surface_), picture_);
    EXPECT_TRUE(PaletteReloaded());
    FillBack(0x01);
    EXPECT_EQ(BltKeyed(g_back, 0, 0, 6, 4, surface_, 0, 0, 6, 4), DD_OK);
    EXPECT_EQ(BackPixel(0, 0), 0x01);
    EXPECT_EQ(BackPixel(1, 0), picture_[1]);
}

}  // namespace
