// A headless screen for the DirectDraw and GDI suites: the game's window, the
// exclusive 640x480x8 flip chain with a clipper on the back buffer, and
// helpers to make off-screen surfaces and read or write their pixels.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "hosts/headless/headless.h"
#include "winapi/ddraw.h"
#include "winapi/surface_access.h"
#include "winapi/win.h"

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        WNDCLASSA c{};
        c.lpfnWndProc = DefWindowProcA;
        c.lpszClassName = "2DGAME";
        ASSERT_NE(RegisterClassA(&c), 0);
        window_ = CreateWindowExA(0, "2DGAME", "2DGAME", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        SetFocus(window_);
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
        ASSERT_EQ(dd_->SetCooperativeLevel(window_, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT), DD_OK);
        ASSERT_EQ(dd_->SetDisplayMode(640, 480, 8), DD_OK);
        DDSURFACEDESC desc = PrimaryDesc();
        ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
        DDSCAPS caps{DDSCAPS_BACKBUFFER};
        ASSERT_EQ(primary_->GetAttachedSurface(&caps, &back_), DD_OK);
        ASSERT_EQ(dd_->CreateClipper(0, &clipper_, nullptr), DD_OK);
        ASSERT_EQ(clipper_->SetHWnd(0, window_), DD_OK);
        ASSERT_EQ(back_->SetClipper(clipper_), DD_OK);
    }

    void TearDown() override {
        for (IDirectDrawSurface* s : plain_) s->Release();
        if (clipper_) clipper_->Release();
        if (primary_) primary_->Release();
        if (dd_) dd_->Release();
        headless::Reset();
    }

    static DDSURFACEDESC PrimaryDesc() {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = 1;
        return desc;
    }

    static DDSURFACEDESC PlainDesc(DWORD width, DWORD height) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.dwWidth = width;
        desc.dwHeight = height;
        return desc;
    }

    // An off-screen surface released by the fixture.
    IDirectDrawSurface* Plain(int width, int height) {
        DDSURFACEDESC desc = PlainDesc(width, height);
        IDirectDrawSurface* s = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &s, nullptr), DD_OK);
        if (s) plain_.push_back(s);
        return s;
    }

    // Writes every pixel through Lock, as a program would.
    static void Fill(IDirectDrawSurface* s, const std::vector<uint8_t>& pixels) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        ASSERT_EQ(pixels.size(), size_t{desc.dwWidth} * desc.dwHeight);
        std::memcpy(desc.lpSurface, pixels.data(), pixels.size());
        ASSERT_EQ(s->Unlock(nullptr), DD_OK);
    }

    static std::vector<uint8_t> Pixels(IDirectDrawSurface* s) {
        const uint8_t* p = SurfaceAccess::Pixels(s);
        return std::vector<uint8_t>(p, p + size_t(SurfaceAccess::Width(s)) * SurfaceAccess::Height(s));
    }

    static void SetKey(IDirectDrawSurface* s, DWORD index) {
        DDCOLORKEY key{index, index};
        ASSERT_EQ(s->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    }

    HWND window_ = nullptr;
    IDirectDraw* dd_ = nullptr;
    IDirectDrawSurface* primary_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
    IDirectDrawClipper* clipper_ = nullptr;
    std::vector<IDirectDrawSurface*> plain_;
};
