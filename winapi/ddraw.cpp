// DirectDraw in memory: the flip chain, off-screen surfaces of palette indices, blits and palettes
// (the pixel copies themselves are in blit.cpp).
#include <algorithm>
#include <array>
#include <new>
#include <vector>

#include "winapi/blit.h"
#include "winapi/default_palette.h"
#include "winapi/fault.h"
#include "winapi/frame_log.h"
#include "winapi/host.h"
#include "winapi/palette_match.h"
#include "winapi/surface_access.h"
#include "winapi/window_state.h"

namespace {

// Every live surface, so that a loss can reach them all.
std::vector<IDirectDrawSurface*>& Surfaces() {
    static std::vector<IDirectDrawSurface*> surfaces;
    return surfaces;
}

// The one primary surface while it lives; its palette is the display's.
IDirectDrawSurface* livePrimary = nullptr;

const PALETTEENTRY* DefaultPalette() {
    static const auto entries = [] {
        std::array<PALETTEENTRY, 256> e;
        FillDefaultPalette(e.data());
        return e;
    }();
    return entries.data();
}

bool Inverted(const RECT& r) { return r.right < r.left || r.bottom < r.top; }
bool Empty(const RECT& r) { return r.right == r.left || r.bottom == r.top; }
bool Inside(const RECT& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
}

}  // namespace

namespace winapi {

const PALETTEENTRY* DisplayPalette() {
    if (livePrimary) {
        if (IDirectDrawPalette* palette = SurfaceAccess::Palette(livePrimary)) return SurfaceAccess::Entries(palette);
    }
    return DefaultPalette();
}

void LoseAllSurfaces() {
    for (IDirectDrawSurface* s : Surfaces()) SurfaceAccess::Lose(s);
}

}  // namespace winapi

// ---- IDirectDrawSurface ----

IDirectDrawSurface::IDirectDrawSurface(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, 0) {
    Surfaces().push_back(this);
}

IDirectDrawSurface::~IDirectDrawSurface() {
    auto& surfaces = Surfaces();
    surfaces.erase(std::find(surfaces.begin(), surfaces.end(), this));
    winapi::ForgetRuns(this);
    if (livePrimary == this) livePrimary = nullptr;
    if (dc_) winapi::DeleteSurfaceDC(dc_);
    if (clipper_) clipper_->Release();
    if (palette_) palette_->Release();
    delete back_;  // the back buffer lives and dies with its primary
}

ULONG IDirectDrawSurface::AddRef() { return ++refs_; }

ULONG IDirectDrawSurface::Release() {
    if (front_) {
        // The primary holds the back buffer's last reference; only it frees it.
        if (refs_ > 1) --refs_;
        return refs_;
    }
    if (--refs_ > 0) return refs_;
    delete this;
    return 0;
}

HRESULT IDirectDrawSurface::Blt(RECT* destRect, IDirectDrawSurface* src, RECT* srcRect, DWORD flags, void*) {
    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    const RECT d = destRect ? *destRect : RECT{0, 0, width_, height_};
    const RECT s = srcRect ? *srcRect : src ? RECT{0, 0, src->width_, src->height_} : RECT{0, 0, 0, 0};
    winapi::NoteBlt({this, src, d, s, keyed});
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::Blt)) return *fault;
    if (!src) return DDERR_INVALIDPARAMS;
    if (lost_ || src->lost_) return DDERR_SURFACELOST;
    if (locked_ || dc_) return DDERR_SURFACEBUSY;
    if (keyed && !src->hasColorKey_) return DDERR_NOCOLORKEY;
    if (Inverted(d) || Inverted(s)) return DDERR_INVALIDRECT;
    if (Empty(d) || Empty(s)) return DD_OK;
    if (!Inside(s, src->width_, src->height_)) return DDERR_INVALIDRECT;
    if (!clipper_ && !Inside(d, width_, height_)) return DDERR_INVALIDRECT;

    // The part of the destination on the surface; the source follows it pixel for pixel.
    const int64_t x0 = std::max<int64_t>(d.left, 0), x1 = std::min<int64_t>(d.right, width_);
    const int64_t y0 = std::max<int64_t>(d.top, 0), y1 = std::min<int64_t>(d.bottom, height_);
    if (x0 >= x1 || y0 >= y1) return DD_OK;
    ++version_;
    const int key = keyed ? src->colorKey_ : -1;
    const bool oneToOne = d.right - d.left == s.right - s.left && d.bottom - d.top == s.bottom - s.top;
    if (oneToOne && src != this) {
        const int sx = static_cast<int>(s.left + (x0 - d.left)), sy = static_cast<int>(s.top + (y0 - d.top));
        uint8_t* to = pixels_.data() + y0 * width_ + x0;
        const int w = static_cast<int>(x1 - x0), h = static_cast<int>(y1 - y0);
        if (keyed) {
            winapi::CopyKeyed(to, width_, src, src->pixels_.data(), src->width_, src->height_, src->version_,
                              src->colorKey_, sx, sy, w, h);
        } else {
            winapi::CopyRows(to, width_, src->pixels_.data() + static_cast<size_t>(sy) * src->width_ + sx, src->width_,
                             w, h);
        }
        return DD_OK;
    }
    if (src != this) {
        winapi::StretchCopy(pixels_.data(), width_, d, x0, y0, x1, y1, src->pixels_.data(), src->width_, s, key);
        return DD_OK;
    }
    // Within one surface the rectangles may overlap: read from a copy of the source.
    const int sw = s.right - s.left, sh = s.bottom - s.top;
    std::vector<uint8_t> copy(static_cast<size_t>(sw) * sh);
    winapi::CopyRows(copy.data(), sw, pixels_.data() + static_cast<size_t>(s.top) * width_ + s.left, width_, sw, sh);
    winapi::StretchCopy(pixels_.data(), width_, d, x0, y0, x1, y1, copy.data(), sw, RECT{0, 0, sw, sh}, key);
    return DD_OK;
}

HRESULT IDirectDrawSurface::Flip(IDirectDrawSurface* override, DWORD) {
    const HRESULT result = [&]() -> HRESULT {
        if (const auto fault = winapi::TakeFault(winapi::FaultPoint::Flip)) return *fault;
        if (!primary_) return DDERR_NOTFLIPPABLE;
        if (override && override != back_) return DDERR_INVALIDPARAMS;
        if (lost_ || back_->lost_) return DDERR_SURFACELOST;
        if (locked_ || dc_ || back_->locked_ || back_->dc_) return DDERR_SURFACEBUSY;
        pixels_.swap(back_->pixels_);
        ++version_;
        ++back_->version_;
        winapi::host::Present(pixels_.data(), palette_ ? SurfaceAccess::Entries(palette_) : winapi::DisplayPalette());
        return DD_OK;
    }();
    winapi::NoteFlip(result);
    return result;
}

HRESULT IDirectDrawSurface::GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** out) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::GetAttachedSurface)) return *fault;
    if (!caps || !out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!back_ || !(caps->dwCaps & DDSCAPS_BACKBUFFER)) return DDERR_INVALIDPARAMS;
    *out = back_;  // no reference to release: the back buffer belongs to the primary
    return DD_OK;
}

HRESULT IDirectDrawSurface::SetClipper(IDirectDrawClipper* clipper) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::SetClipper)) return *fault;
    if (clipper) clipper->AddRef();
    if (clipper_) clipper_->Release();
    clipper_ = clipper;
    return DD_OK;
}

HRESULT IDirectDrawSurface::SetPalette(IDirectDrawPalette* palette) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::SetPalette)) return *fault;
    if (palette) palette->AddRef();
    if (palette_) palette_->Release();
    palette_ = palette;
    return DD_OK;
}

HRESULT IDirectDrawSurface::SetColorKey(DWORD flags, DDCOLORKEY* key) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::SetColorKey)) return *fault;
    if (!(flags & DDCKEY_SRCBLT)) return DDERR_UNSUPPORTED;
    if (!key) {
        hasColorKey_ = false;
        return DD_OK;
    }
    if (key->dwColorSpaceLowValue > 255) return DDERR_INVALIDPARAMS;
    if (key->dwColorSpaceHighValue != key->dwColorSpaceLowValue) return DDERR_UNSUPPORTED;  // one index, no ranges
    hasColorKey_ = true;
    colorKey_ = static_cast<uint8_t>(key->dwColorSpaceLowValue);
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetDC(HDC* dc) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::GetDC)) return *fault;
    if (!dc) return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (lost_) return DDERR_SURFACELOST;
    if (dc_) return DDERR_DCALREADYCREATED;
    if (locked_) return DDERR_SURFACEBUSY;
    dc_ = winapi::CreateSurfaceDC(this);
    if (!dc_) return DDERR_OUTOFMEMORY;
    *dc = dc_;
    return DD_OK;
}

HRESULT IDirectDrawSurface::ReleaseDC(HDC dc) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::ReleaseDC)) return *fault;
    if (!dc_ || dc != dc_) return DDERR_INVALIDPARAMS;
    winapi::DeleteSurfaceDC(dc_);
    dc_ = nullptr;
    ++version_;  // GDI drew on the pixels
    return DD_OK;
}

HRESULT IDirectDrawSurface::Lock(RECT* rect, DDSURFACEDESC* desc, DWORD, HANDLE) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::Lock)) return *fault;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    if (lost_) return DDERR_SURFACELOST;
    if (locked_ || dc_) return DDERR_SURFACEBUSY;
    if (rect && (Inverted(*rect) || !Inside(*rect, width_, height_))) return DDERR_INVALIDRECT;
    const size_t offset = rect ? static_cast<size_t>(rect->top) * width_ + rect->left : 0;
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc->dwWidth = static_cast<DWORD>(width_);
    desc->dwHeight = static_cast<DWORD>(height_);
    desc->lPitch = width_;
    desc->lpSurface = pixels_.data() + offset;
    desc->ddsCaps.dwCaps = primary_ ? DDSCAPS_PRIMARYSURFACE : front_ ? DDSCAPS_BACKBUFFER : DDSCAPS_OFFSCREENPLAIN;
    locked_ = true;
    ++version_;
    return DD_OK;
}

HRESULT IDirectDrawSurface::Unlock(void*) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::Unlock)) return *fault;
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    ++version_;  // the program may have written through the pointer
    return DD_OK;
}

HRESULT IDirectDrawSurface::IsLost() {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::IsLost)) return *fault;
    return lost_ ? DDERR_SURFACELOST : DD_OK;
}

HRESULT IDirectDrawSurface::Restore() {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::Restore)) return *fault;
    for (IDirectDrawSurface* s : {this, back_}) {
        if (!s || !s->lost_) continue;
        s->lost_ = false;
        std::fill(s->pixels_.begin(), s->pixels_.end(), uint8_t{0});
        ++s->version_;
    }
    return DD_OK;
}

// ---- IDirectDrawClipper ----

ULONG IDirectDrawClipper::AddRef() { return ++refs_; }

ULONG IDirectDrawClipper::Release() {
    if (--refs_ > 0) return refs_;
    delete this;
    return 0;
}

HRESULT IDirectDrawClipper::SetHWnd(DWORD, HWND window) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::SetHWnd)) return *fault;
    window_ = window;
    return DD_OK;
}

// ---- IDirectDrawPalette ----

ULONG IDirectDrawPalette::AddRef() { return ++refs_; }

ULONG IDirectDrawPalette::Release() {
    if (--refs_ > 0) return refs_;
    delete this;
    return 0;
}

HRESULT IDirectDrawPalette::SetEntries(DWORD, DWORD first, DWORD count, const PALETTEENTRY* entries) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::SetEntries)) return *fault;
    if (!entries || first > 256 || count > 256 - first) return DDERR_INVALIDPARAMS;
    std::copy(entries, entries + count, entries_ + first);  // shown from the next flip on
    return DD_OK;
}

HRESULT IDirectDrawPalette::GetEntries(DWORD, DWORD first, DWORD count, PALETTEENTRY* entries) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::GetEntries)) return *fault;
    if (!entries || first > 256 || count > 256 - first) return DDERR_INVALIDPARAMS;
    std::copy(entries_ + first, entries_ + first + count, entries);
    return DD_OK;
}

// ---- IDirectDraw ----

ULONG IDirectDraw::AddRef() { return ++refs_; }

ULONG IDirectDraw::Release() {
    if (--refs_ > 0) return refs_;
    winapi::host::CloseDisplay();
    delete this;
    return 0;
}

HRESULT IDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::SetCooperativeLevel)) return *fault;
    const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    if (exclusive != ((flags & DDSCL_FULLSCREEN) != 0)) return DDERR_INVALIDPARAMS;  // they go together
    if (exclusive && !window) return DDERR_INVALIDPARAMS;
    window_ = window;
    exclusive_ = exclusive;
    return DD_OK;
}

HRESULT IDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::SetDisplayMode)) return *fault;
    if (!exclusive_) return DDERR_NOEXCLUSIVEMODE;
    if (width != kScreenWidth || height != kScreenHeight || bitsPerPixel != 8) return DDERR_UNSUPPORTEDMODE;
    modeSet_ = true;
    return DD_OK;
}

HRESULT IDirectDraw::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, void* outer) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::CreateSurface)) return *fault;
    if (!desc || !out || outer || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    const DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    try {
        if (caps & DDSCAPS_PRIMARYSURFACE) {
            constexpr DWORD kChain = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
            if (caps != kChain || !(desc->dwFlags & DDSD_BACKBUFFERCOUNT) || desc->dwBackBufferCount != 1) {
                return DDERR_INVALIDPARAMS;
            }
            if (livePrimary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
            IDirectDrawSurface* primary = SurfaceAccess::NewSurface(kScreenWidth, kScreenHeight);
            try {
                SurfaceAccess::Chain(primary, SurfaceAccess::NewSurface(kScreenWidth, kScreenHeight));
            } catch (const std::bad_alloc&) {
                primary->Release();
                throw;
            }
            livePrimary = primary_ = primary;
            *out = primary;
            return DD_OK;
        }
        if ((caps & ~DDSCAPS_OFFSCREENPLAIN) != 0) return DDERR_INVALIDPARAMS;
        constexpr DWORD kSize = DDSD_WIDTH | DDSD_HEIGHT;
        if ((desc->dwFlags & kSize) != kSize) return DDERR_INVALIDPARAMS;
        if (desc->dwWidth < 1 || desc->dwWidth > 16384 || desc->dwHeight < 1 || desc->dwHeight > 16384) {
            return DDERR_INVALIDPARAMS;
        }
        *out = SurfaceAccess::NewSurface(static_cast<int>(desc->dwWidth), static_cast<int>(desc->dwHeight));
        return DD_OK;
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
}

HRESULT IDirectDraw::CreateClipper(DWORD, IDirectDrawClipper** out, void* outer) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::CreateClipper)) return *fault;
    if (!out || outer) return DDERR_INVALIDPARAMS;
    *out = SurfaceAccess::NewClipper();
    return DD_OK;
}

HRESULT IDirectDraw::CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** out, void* outer) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::CreatePalette)) return *fault;
    if (!out || outer || !entries || !(flags & DDPCAPS_8BIT)) return DDERR_INVALIDPARAMS;
    IDirectDrawPalette* palette = SurfaceAccess::NewPalette();
    std::copy(entries, entries + 256, SurfaceAccess::Entries(palette));
    *out = palette;
    return DD_OK;
}

HRESULT DirectDrawCreate(void*, IDirectDraw** out, void* outer) {
    if (const auto fault = winapi::TakeFault(winapi::FaultPoint::DirectDrawCreate)) return *fault;
    if (!out || outer) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (!winapi::host::OpenDisplay(winapi::WindowTitle(GetActiveWindow()))) return DDERR_NODIRECTDRAWHW;
    *out = new IDirectDraw();
    return DD_OK;
}
