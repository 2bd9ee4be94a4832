// DirectDraw: clipped, keyed and stretched blits, loss and restore, busy
// surfaces, the flip with its palette, injected faults and references.
#include <functional>
#include <string>

#include "tests/winapi/screen_fixture.h"
#include "winapi/palette_match.h"

namespace {

using DDrawTest = ScreenTest;

// A 113x2 picture whose every pixel is distinct: row 0 holds 1..113, row 1 128..240.
std::vector<uint8_t> Strip() {
    std::vector<uint8_t> p(113 * 2);
    for (int x = 0; x < 113; ++x) {
        p[x] = static_cast<uint8_t>(1 + x);
        p[113 + x] = static_cast<uint8_t>(128 + x);
    }
    return p;
}

HRESULT BltAt(IDirectDrawSurface* dest, LONG x, LONG y, IDirectDrawSurface* src, DWORD flags) {
    const LONG w = SurfaceAccess::Width(src), h = SurfaceAccess::Height(src);
    RECT d{x, y, x + w, y + h}, s{0, 0, w, h};
    return dest->Blt(&d, src, &s, flags | DDBLT_WAIT, nullptr);
}

TEST_F(DDrawTest, ClipperCutsAtEachScreenEdgeKeepingTruePositions) {
    struct Row {
        LONG x, y;
        int drawn;  // pixels that reach the screen
    } rows[] = {
        {-50, 0, 63 * 2}, {600, 0, 40 * 2}, {-112, 0, 2}, {-113, 0, 0},   {640, 0, 0},        {10, -1, 113},
        {10, 479, 113},   {10, 480, 0},     {10, -2, 0},  {-50, 479, 63}, {527, 10, 113 * 2}, {0, 0, 113 * 2},
    };
    const std::vector<uint8_t> strip = Strip();
    IDirectDrawSurface* picture = Plain(113, 2);
    Fill(picture, strip);
    SetKey(picture, 255);  // an index the picture lacks: keyed and unkeyed must agree
    for (DWORD flags : {DWORD{0}, DDBLT_KEYSRC}) {
        for (const Row& row : rows) {
            Fill(back_, std::vector<uint8_t>(640 * 480, 0));
            ASSERT_EQ(BltAt(back_, row.x, row.y, picture, flags), DD_OK) << row.x << "," << row.y;
            const std::vector<uint8_t> screen = Pixels(back_);
            int drawn = 0;
            for (int i = 0; i < 640 * 480; ++i) {
                const int c = i % 640 - row.x, r = i / 640 - row.y;
                const uint8_t want = (c >= 0 && c < 113 && r >= 0 && r < 2) ? strip[r * 113 + c] : 0;
                ASSERT_EQ(screen[i], want) << "at " << i % 640 << "," << i / 640 << " for a blit at " << row.x << ","
                                           << row.y << " flags " << flags;
                drawn += want != 0;
            }
            EXPECT_EQ(drawn, row.drawn) << row.x << "," << row.y;
        }
    }
}

TEST_F(DDrawTest, BadRectanglesFailOrDrawNothingAndLeaveTheDestination) {
    struct Row {
        const char* name;
        RECT dest, src;
        HRESULT result;
        bool changes;
    } rows[] = {
        {"whole", {0, 0, 8, 8}, {0, 0, 8, 8}, DD_OK, true},
        {"source left of picture", {0, 0, 4, 4}, {-1, 0, 3, 4}, DDERR_INVALIDRECT, false},
        {"source past bottom right", {0, 0, 4, 3}, {5, 6, 9, 9}, DDERR_INVALIDRECT, false},
        {"source inverted", {0, 0, 4, 4}, {4, 0, 0, 4}, DDERR_INVALIDRECT, false},
        {"dest inverted", {4, 4, 0, 8}, {0, 0, 4, 4}, DDERR_INVALIDRECT, false},
        {"dest zero width", {3, 0, 3, 4}, {0, 0, 4, 4}, DD_OK, false},
        {"source zero height", {0, 0, 4, 4}, {0, 2, 4, 2}, DD_OK, false},
        {"dest off an unclipped surface", {-1, 0, 3, 4}, {0, 0, 4, 4}, DDERR_INVALIDRECT, false},
        {"dest past an unclipped surface", {13, 13, 17, 17}, {0, 0, 4, 4}, DDERR_INVALIDRECT, false},
    };
    IDirectDrawSurface* src = Plain(8, 8);
    IDirectDrawSurface* dest = Plain(16, 16);  // no clipper
    Fill(src, std::vector<uint8_t>(64, 9));
    for (const Row& row : rows) {
        Fill(dest, std::vector<uint8_t>(256, 1));
        RECT d = row.dest, s = row.src;
        EXPECT_EQ(dest->Blt(&d, src, &s, DDBLT_WAIT, nullptr), row.result) << row.name;
        EXPECT_EQ(Pixels(dest) != std::vector<uint8_t>(256, 1), row.changes) << row.name;
    }
}

TEST_F(DDrawTest, KeyedBlitSkipsEveryKeyPixelAndUnkeyedCopiesAll) {
    IDirectDrawSurface* sprite = Plain(6, 3);
    Fill(sprite, {7, 7, 1, 2, 7, 7,  //
                  7, 3, 7, 7, 4, 7,  //
                  5, 6, 7, 8, 7, 9});
    IDirectDrawSurface* dest = Plain(6, 3);
    Fill(dest, std::vector<uint8_t>(18, 200));
    EXPECT_EQ(BltAt(dest, 0, 0, sprite, DDBLT_KEYSRC), DDERR_NOCOLORKEY);
    SetKey(sprite, 7);
    ASSERT_EQ(BltAt(dest, 0, 0, sprite, DDBLT_KEYSRC), DD_OK);
    EXPECT_EQ(Pixels(dest), (std::vector<uint8_t>{200, 200, 1, 2, 200, 200,  //
                                                  200, 3, 200, 200, 4, 200,  //
                                                  5, 6, 200, 8, 200, 9}));
    ASSERT_EQ(BltAt(dest, 0, 0, sprite, 0), DD_OK);
    EXPECT_EQ(Pixels(dest), Pixels(sprite));
}

TEST_F(DDrawTest, DifferingSizesStretchByNearestNeighbour) {
    IDirectDrawSurface* four = Plain(4, 1);
    Fill(four, {1, 2, 3, 4});
    SetKey(four, 3);
    struct Row {
        const char* name;
        IDirectDrawSurface* dest;  // back_ (clipped) or a 6x2 plain surface
        RECT d;
        DWORD flags;
        std::vector<uint8_t> row0;  // first row of the destination, starting at column 0
    };
    IDirectDrawSurface* plain = Plain(6, 2);
    const Row rows[] = {
        {"past an unclipped edge", plain, {0, 0, 8, 1}, 0, {}},  // refused
        {"double", plain, {0, 0, 6, 2}, 0, {1, 1, 2, 3, 3, 4}},
        {"halve", plain, {1, 0, 3, 1}, 0, {0, 1, 3, 0, 0, 0}},
        {"double keyed", plain, {0, 0, 6, 1}, DDBLT_KEYSRC, {1, 1, 2, 0, 0, 4}},
        {"double cut at the left edge", back_, {-2, 0, 6, 1}, 0, {2, 2, 3, 3, 4, 4}},
    };
    for (const Row& row : rows) {
        Fill(row.dest, std::vector<uint8_t>(SurfaceAccess::Width(row.dest) * SurfaceAccess::Height(row.dest), 0));
        RECT d = row.d, s{0, 0, 4, 1};
        const HRESULT hr = row.dest->Blt(&d, four, &s, row.flags | DDBLT_WAIT, nullptr);
        if (row.row0.empty()) {
            EXPECT_EQ(hr, DDERR_INVALIDRECT) << row.name;
            continue;
        }
        ASSERT_EQ(hr, DD_OK) << row.name;
        const std::vector<uint8_t> got = Pixels(row.dest);
        EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.begin() + 6), row.row0) << row.name;
    }
    // Both rows of the doubled height came from the one source row.
    Fill(plain, std::vector<uint8_t>(12, 0));
    RECT d{0, 0, 4, 2}, s{0, 0, 4, 1};
    ASSERT_EQ(plain->Blt(&d, four, &s, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(Pixels(plain), (std::vector<uint8_t>{1, 2, 3, 4, 0, 0, 1, 2, 3, 4, 0, 0}));
}

TEST_F(DDrawTest, KeyedBlitFollowsTheSourceAfterItsPixelsOrKeyChange) {
    struct Row {
        const char* name;
        std::function<void(IDirectDrawSurface*)> change;  // turns {5,1,5,2} into {1,5,2,5}
        uint8_t key;
    };
    const std::vector<uint8_t> after{1, 5, 2, 5};
    const Row rows[] = {
        {"Lock", [&](IDirectDrawSurface* s) { Fill(s, after); }, 5},
        {"GetDC",
         [&](IDirectDrawSurface* s) {
             HDC dc = nullptr;
             ASSERT_EQ(s->GetDC(&dc), DD_OK);
             std::memcpy(SurfaceAccess::Pixels(s), after.data(), 4);  // as GDI draws while the DC is out
             ASSERT_EQ(s->ReleaseDC(dc), DD_OK);
         },
         5},
        {"Blt into it",
         [&](IDirectDrawSurface* s) {
             IDirectDrawSurface* other = Plain(4, 1);
             Fill(other, after);
             ASSERT_EQ(BltAt(s, 0, 0, other, 0), DD_OK);
         },
         5},
        {"SetColorKey", [&](IDirectDrawSurface* s) { SetKey(s, 1); }, 1},
    };
    for (const Row& row : rows) {
        IDirectDrawSurface* sprite = Plain(4, 1);
        Fill(sprite, {5, 1, 5, 2});
        SetKey(sprite, 5);
        IDirectDrawSurface* dest = Plain(4, 1);
        Fill(dest, {9, 9, 9, 9});
        ASSERT_EQ(BltAt(dest, 0, 0, sprite, DDBLT_KEYSRC), DD_OK);
        ASSERT_EQ(Pixels(dest), (std::vector<uint8_t>{9, 1, 9, 2})) << row.name;
        row.change(sprite);
        Fill(dest, {9, 9, 9, 9});
        ASSERT_EQ(BltAt(dest, 0, 0, sprite, DDBLT_KEYSRC), DD_OK);
        std::vector<uint8_t> want(4);
        for (int i = 0; i < 4; ++i) want[i] = Pixels(sprite)[i] == row.key ? 9 : Pixels(sprite)[i];
        EXPECT_EQ(Pixels(dest), want) << "after " << row.name;
    }
}

TEST_F(DDrawTest, LossFailsDrawingAndRestoreKeepsSizeAndKeyNotPixels) {
    IDirectDrawSurface* sprite = Plain(3, 2);
    Fill(sprite, {4, 1, 4, 2, 4, 3});
    SetKey(sprite, 4);
    Fill(back_, std::vector<uint8_t>(640 * 480, 6));
    headless::LoseSurfaces();
    for (IDirectDrawSurface* s : {primary_, back_, sprite}) EXPECT_EQ(s->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(BltAt(back_, 0, 0, sprite, 0), DDERR_SURFACELOST);  // both lost
    EXPECT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
    HDC dc = nullptr;
    EXPECT_EQ(sprite->GetDC(&dc), DDERR_SURFACELOST);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(sprite->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);

    ASSERT_EQ(primary_->Restore(), DD_OK);  // brings its back buffer too
    EXPECT_EQ(back_->IsLost(), DD_OK);
    EXPECT_EQ(Pixels(back_), std::vector<uint8_t>(640 * 480, 0));
    EXPECT_EQ(BltAt(back_, 0, 0, sprite, 0), DDERR_SURFACELOST);  // the source is still lost
    ASSERT_EQ(sprite->Restore(), DD_OK);
    EXPECT_EQ(Pixels(sprite), std::vector<uint8_t>(6, 0));
    ASSERT_EQ(sprite->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(desc.dwWidth, 3u);
    EXPECT_EQ(desc.dwHeight, 2u);
    ASSERT_EQ(sprite->Unlock(nullptr), DD_OK);
    Fill(sprite, {4, 1, 4, 2, 4, 3});
    Fill(back_, std::vector<uint8_t>(640 * 480, 6));
    ASSERT_EQ(BltAt(back_, 0, 0, sprite, DDBLT_KEYSRC), DD_OK);
    const std::vector<uint8_t> screen = Pixels(back_);
    EXPECT_EQ((std::vector<uint8_t>{screen[0], screen[1], screen[2], screen[640], screen[641], screen[642]}),
              (std::vector<uint8_t>{6, 1, 6, 2, 6, 3}));
}

TEST_F(DDrawTest, SurfaceIsBusyWhileItsDCIsOutOrItIsLocked) {
    IDirectDrawSurface* src = Plain(2, 2);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    HDC dc = nullptr, second = nullptr;
    ASSERT_EQ(back_->GetDC(&dc), DD_OK);
    EXPECT_EQ(BltAt(back_, 0, 0, src, 0), DDERR_SURFACEBUSY);
    EXPECT_EQ(back_->GetDC(&second), DDERR_DCALREADYCREATED);
    EXPECT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
    RECT corner{0, 0, 2, 2};
    EXPECT_EQ(src->Blt(&corner, back_, &corner, DDBLT_WAIT, nullptr), DD_OK) << "a busy source can still be read";
    ASSERT_EQ(back_->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(back_->ReleaseDC(dc), DDERR_INVALIDPARAMS);
    EXPECT_EQ(BltAt(back_, 0, 0, src, 0), DD_OK);

    ASSERT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(desc.lPitch, 640);
    EXPECT_EQ(BltAt(back_, 0, 0, src, 0), DDERR_SURFACEBUSY);
    EXPECT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(back_->GetDC(&second), DDERR_SURFACEBUSY);
    ASSERT_EQ(back_->Unlock(nullptr), DD_OK);
    EXPECT_EQ(back_->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST_F(DDrawTest, FlipSwapsBuffersAndPresentsThePrimarysPalette) {
    std::vector<HRESULT> flips;
    headless::OnFrame([&](HRESULT hr) { flips.push_back(hr); });
    // No palette attached yet: the 3-3-2 default.
    Fill(back_, std::vector<uint8_t>(640 * 480, 1));
    ASSERT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    const PALETTEENTRY& grey = headless::LastFrame().palette[0x49];
    EXPECT_EQ((std::vector<int>{grey.peRed, grey.peGreen, grey.peBlue}), (std::vector<int>{73, 73, 85}));
    EXPECT_EQ(headless::LastFrame().pixels, std::vector<uint8_t>(640 * 480, 1));
    EXPECT_EQ(Pixels(back_), std::vector<uint8_t>(640 * 480, 0)) << "the old front comes back";

    PALETTEENTRY entries[256] = {};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    ASSERT_EQ(primary_->SetPalette(palette), DD_OK);
    entries[2] = {10, 20, 30, 0};
    ASSERT_EQ(palette->SetEntries(0, 0, 256, entries), DD_OK);
    Fill(back_, std::vector<uint8_t>(640 * 480, 2));
    ASSERT_EQ(primary_->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(headless::LastFrame().pixels, std::vector<uint8_t>(640 * 480, 2));
    EXPECT_EQ(Pixels(back_), std::vector<uint8_t>(640 * 480, 1));
    const PALETTEENTRY& shown = headless::LastFrame().palette[2];
    EXPECT_EQ((std::vector<int>{shown.peRed, shown.peGreen, shown.peBlue}), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(winapi::DisplayPalette()[2].peGreen, 20);
    EXPECT_EQ(palette->Release(), 1u) << "the primary keeps its palette";

    EXPECT_EQ(back_->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(headless::FramesShown(), 2);
    EXPECT_EQ(flips, (std::vector<HRESULT>{DD_OK, DD_OK, DDERR_NOTFLIPPABLE}));
}

TEST_F(DDrawTest, InjectedFaultFailsTheNamedCallOnce) {
    IDirectDrawSurface* src = Plain(2, 2);
    PALETTEENTRY entries[256] = {};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    HDC dc = nullptr;
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* attached = nullptr;
    IDirectDraw* second = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    IDirectDrawPalette* made = nullptr;
    // Each call succeeds when not faulted and undoes what it did.
    const std::vector<std::pair<std::string, std::function<HRESULT()>>> calls = {
        {"DirectDrawCreate",
         [&] {
             HRESULT hr = DirectDrawCreate(nullptr, &second, nullptr);
             if (hr == DD_OK) second->Release();
             return hr;
         }},
        {"SetCooperativeLevel", [&] { return dd_->SetCooperativeLevel(window_, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE); }},
        {"SetDisplayMode", [&] { return dd_->SetDisplayMode(640, 480, 8); }},
        {"CreateSurface",
         [&] {
             DDSURFACEDESC d = PlainDesc(1, 1);
             IDirectDrawSurface* s = nullptr;
             HRESULT hr = dd_->CreateSurface(&d, &s, nullptr);
             if (hr == DD_OK) s->Release();
             return hr;
         }},
        {"GetAttachedSurface", [&] { return primary_->GetAttachedSurface(&caps, &attached); }},
        {"CreateClipper",
         [&] {
             HRESULT hr = dd_->CreateClipper(0, &clipper, nullptr);
             if (hr == DD_OK) clipper->Release();
             return hr;
         }},
        {"SetHWnd", [&] { return clipper_->SetHWnd(0, window_); }},
        {"SetClipper", [&] { return back_->SetClipper(clipper_); }},
        {"CreatePalette",
         [&] {
             HRESULT hr = dd_->CreatePalette(DDPCAPS_8BIT, entries, &made, nullptr);
             if (hr == DD_OK) made->Release();
             return hr;
         }},
        {"SetPalette", [&] { return primary_->SetPalette(palette); }},
        {"SetEntries", [&] { return palette->SetEntries(0, 0, 256, entries); }},
        {"SetColorKey", [&] { return src->SetColorKey(DDCKEY_SRCBLT, nullptr); }},
        {"GetDC",
         [&] {
             HRESULT hr = src->GetDC(&dc);
             if (hr == DD_OK) src->ReleaseDC(dc);
             return hr;
         }},
        {"Lock",
         [&] {
             HRESULT hr = src->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
             if (hr == DD_OK) src->Unlock(nullptr);
             return hr;
         }},
        {"Blt", [&] { return BltAt(back_, 0, 0, src, 0); }},
        {"Flip", [&] { return primary_->Flip(nullptr, DDFLIP_WAIT); }},
        {"Restore", [&] { return src->Restore(); }},
    };
    const HRESULT code = DDERR_GENERIC;
    for (const auto& [name, call] : calls) {
        headless::FailNext(name, code);
        for (const auto& [other, otherCall] : calls) {
            if (other != name) {
                EXPECT_EQ(otherCall(), DD_OK) << other << " with a fault waiting for " << name;
            }
        }
        EXPECT_EQ(call(), code) << name;
        EXPECT_EQ(call(), DD_OK) << name << " a second time";
    }
    palette->Release();
}

TEST_F(DDrawTest, ReferencesKeepAttachedObjectsAndTheBackBufferGoesWithItsPrimary) {
    EXPECT_EQ(clipper_->AddRef(), 3u) << "the program's, the back buffer's and this one";
    EXPECT_EQ(clipper_->Release(), 2u);
    EXPECT_EQ(back_->Release(), 1u) << "the primary's hold is not the program's to drop";
    IDirectDrawSurface* src = Plain(2, 2);
    EXPECT_EQ(BltAt(back_, 0, 0, src, 0), DD_OK);
    EXPECT_EQ(src->AddRef(), 2u);
    EXPECT_EQ(src->Release(), 1u);

    DDSURFACEDESC desc = PrimaryDesc();
    IDirectDrawSurface* another = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&desc, &another, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
    EXPECT_EQ(another, nullptr);
    EXPECT_EQ(primary_->Release(), 0u);
    primary_ = back_ = nullptr;
    headless::LoseSurfaces();  // reaches only the live ones
    EXPECT_EQ(src->IsLost(), DDERR_SURFACELOST);
    ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DD_OK) << "a new primary once the old is gone";
}

TEST_F(DDrawTest, CreationChecksItsArguments) {
    struct Row {
        const char* name;
        DDSURFACEDESC desc;
        HRESULT result;
    } rows[] = {
        {"smallest", PlainDesc(1, 1), DD_OK},
        {"widest", PlainDesc(16384, 1), DD_OK},
        {"zero width", PlainDesc(0, 4), DDERR_INVALIDPARAMS},
        {"too tall", PlainDesc(4, 16385), DDERR_INVALIDPARAMS},
        {"wrong size field",
         [] {
             DDSURFACEDESC d = PlainDesc(4, 4);
             d.dwSize = 100;
             return d;
         }(),
         DDERR_INVALIDPARAMS},
        {"two back buffers",
         [] {
             DDSURFACEDESC d = PrimaryDesc();
             d.dwBackBufferCount = 2;
             return d;
         }(),
         DDERR_INVALIDPARAMS},
    };
    for (Row& row : rows) {
        IDirectDrawSurface* s = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&row.desc, &s, nullptr), row.result) << row.name;
        EXPECT_EQ(s != nullptr, row.result == DD_OK) << row.name;
        if (s) s->Release();
    }
    struct Mode {
        DWORD width, height, bits;
        HRESULT result;
    } modes[] = {{640, 480, 8, DD_OK}, {800, 600, 8, DDERR_UNSUPPORTEDMODE}, {640, 480, 16, DDERR_UNSUPPORTEDMODE}};
    for (const Mode& m : modes) EXPECT_EQ(dd_->SetDisplayMode(m.width, m.height, m.bits), m.result) << m.width;
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, 0), DD_OK);
    EXPECT_EQ(dd_->SetDisplayMode(640, 480, 8), DDERR_NOEXCLUSIVEMODE);

    headless::SetDisplayAvailable(false);
    IDirectDraw* none = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &none, nullptr), DDERR_NODIRECTDRAWHW);
    EXPECT_EQ(none, nullptr);
}

TEST_F(DDrawTest, DrawLogHoldsEveryBltAsCalled) {
    IDirectDrawSurface* src = Plain(4, 4);
    winapi::RecordDraws(true);
    RECT d{-3, 5, 1, 9}, s{0, 0, 4, 4};
    ASSERT_EQ(back_->Blt(&d, src, &s, DDBLT_WAIT, nullptr), DD_OK);
    headless::LoseSurfaces();
    EXPECT_EQ(back_->Blt(&d, src, &s, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    const auto notes = winapi::TakeDraws();
    ASSERT_EQ(notes.size(), 2u);
    for (const auto& note : notes) {
        EXPECT_EQ(note.blt.dest, back_);
        EXPECT_EQ(note.blt.src, src);
        EXPECT_EQ(note.blt.destRect.left, -3) << "the rectangle as given, before clipping";
        EXPECT_FALSE(note.blt.keyed);
    }
}

}  // namespace
