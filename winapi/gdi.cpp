// GDI in memory: bitmaps from BMP files, memory and surface device contexts,
// the palette-matching copy onto surfaces, and text.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "winapi/fault.h"
#include "winapi/files.h"
#include "winapi/frame_log.h"
#include "winapi/gdi.h"
#include "winapi/host.h"
#include "winapi/palette_match.h"
#include "winapi/picture_load.h"
#include "winapi/surface_access.h"
#include "winapi/text.h"
#include "winapi/texts.h"

namespace {

struct Bitmap {
    DecodedBitmap picture;
};

// A device context: on a surface (made by GetDC) or in memory, holding a bitmap.
struct Context {
    IDirectDrawSurface* surface = nullptr;
    Bitmap* selected = nullptr;
    int bkMode = OPAQUE;
    COLORREF textColour = 0;
};

// Handles are the objects' addresses; only those in these tables are honoured.
std::unordered_map<HGDIOBJ, std::unique_ptr<Bitmap>>& Bitmaps() {
    static std::unordered_map<HGDIOBJ, std::unique_ptr<Bitmap>> bitmaps;
    return bitmaps;
}

std::unordered_map<HDC, std::unique_ptr<Context>>& Contexts() {
    static std::unordered_map<HDC, std::unique_ptr<Context>> contexts;
    return contexts;
}

HGDIOBJ AddBitmap(DecodedBitmap picture) {
    auto bitmap = std::make_unique<Bitmap>(Bitmap{std::move(picture)});
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(bitmap.get());
    Bitmaps().emplace(handle, std::move(bitmap));
    return handle;
}

// The 1x1 black bitmap every new memory context starts with; it is never deleted.
HGDIOBJ DefaultBitmap() {
    static HGDIOBJ handle = [] {
        DecodedBitmap dot;
        dot.width = 1;
        dot.height = 1;
        dot.colours.assign(256, PALETTEENTRY{0, 0, 0, 0});
        dot.indices.assign(1, 0);
        return AddBitmap(std::move(dot));
    }();
    return handle;
}

Bitmap* FindBitmap(HGDIOBJ object) {
    auto it = Bitmaps().find(object);
    return it == Bitmaps().end() ? nullptr : it->second.get();
}

Context* FindContext(HDC dc) {
    auto it = Contexts().find(dc);
    return it == Contexts().end() ? nullptr : it->second.get();
}

HDC AddContext(IDirectDrawSurface* surface, Bitmap* selected) {
    auto context = std::make_unique<Context>();
    context->surface = surface;
    context->selected = selected;
    HDC handle = reinterpret_cast<HDC>(context.get());
    Contexts().emplace(handle, std::move(context));
    return handle;
}

bool SelectedAnywhere(const Bitmap* bitmap) {
    for (const auto& [handle, context] : Contexts()) {
        if (context->selected == bitmap) return true;
    }
    return false;
}

uint8_t Red(COLORREF c) { return static_cast<uint8_t>(c & 0xFF); }
uint8_t Green(COLORREF c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
uint8_t Blue(COLORREF c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// Display-palette index of each pixel of a picture: a table for indexed
// pictures, a cache of the colours met so far for true-colour ones.
class ColourMatch {
public:
    explicit ColourMatch(const DecodedBitmap& picture) : picture_(picture), palette_(winapi::DisplayPalette()) {
        if (picture.colours.empty()) return;
        for (size_t i = 0; i < table_.size() && i < picture.colours.size(); ++i) {
            const PALETTEENTRY& c = picture.colours[i];
            table_[i] = winapi::NearestIndex(palette_, c.peRed, c.peGreen, c.peBlue);
        }
    }
    uint8_t At(size_t pixel) {
        if (!picture_.colours.empty()) return table_[picture_.indices[pixel]];
        const uint32_t rgb = picture_.rgb[pixel];
        auto [it, added] = seen_.try_emplace(rgb, uint8_t{0});
        if (added) {
            it->second = winapi::NearestIndex(palette_, static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                              static_cast<uint8_t>(rgb));
        }
        return it->second;
    }

private:
    const DecodedBitmap& picture_;
    const PALETTEENTRY* palette_;
    std::array<uint8_t, 256> table_{};
    std::unordered_map<uint32_t, uint8_t> seen_;
};

// Chosen by the host before WinMain (--outline); off, as the game is made.
bool outlineTexts = false;

// Draws the text one pixel off in each of the eight directions in `edge`,
// so that the text drawn over it keeps a one-pixel dark edge.
void DrawTextEdge(IDirectDrawSurface* surface, int x, int y, const char* text, int length, uint8_t edge) {
    const int width = SurfaceAccess::Width(surface), height = SurfaceAccess::Height(surface);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx != 0 || dy != 0)
                DrawTextCp932(SurfaceAccess::Pixels(surface), width, height, width, x + dx, y + dy, text, length, edge);
}

}  // namespace

namespace winapi {

void UseTextOutline(bool on) { outlineTexts = on; }

uint8_t NearestIndex(const PALETTEENTRY palette[256], uint8_t r, uint8_t g, uint8_t b) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < 256 && bestDistance > 0; ++i) {
        const int dr = palette[i].peRed - r, dg = palette[i].peGreen - g, db = palette[i].peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {  // strict: the first of equal entries wins
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<uint8_t>(best);
}

HDC CreateSurfaceDC(IDirectDrawSurface* surface) { return AddContext(surface, nullptr); }

void DeleteSurfaceDC(HDC dc) {
    const Context* context = FindContext(dc);
    if (context && context->surface) Contexts().erase(dc);
}

}  // namespace winapi

HANDLE LoadImageA(HINSTANCE, const char* name, UINT type, int width, int height, UINT flags) {
    if (winapi::TakeFault(winapi::FaultPoint::LoadImageA)) return nullptr;
    // The program carries no bitmap resources: only files can be found.
    if (!(flags & LR_LOADFROMFILE) || type != IMAGE_BITMAP || !name) return nullptr;
    DecodedBitmap picture;
    const std::string path = winapi::texts::PictureInLanguage(winapi::NativePath(name));
    const winapi::FileProblem problem = winapi::LoadPicture(path, &picture);
    if (problem != winapi::FileProblem::kNone) {
        winapi::ReportFileProblem(path, problem);
        return nullptr;
    }
    // Scaling on load is not offered: a size must be 0 (the file's own) or match it.
    if ((width != 0 && width != picture.width) || (height != 0 && height != picture.height)) return nullptr;
    return AddBitmap(std::move(picture));
}

bool ReadBitmapColourTable(const char* name, int* bits, std::vector<PALETTEENTRY>* table) {
    std::vector<uint8_t> bytes;
    winapi::FileProblem problem;
    BmpHeader header;
    if (name == nullptr || !winapi::ReadWholeFile(winapi::NativePath(name), &bytes, &problem) ||
        !ReadBmpHeader(bytes.data(), bytes.size(), &header)) {
        return false;
    }
    *bits = header.bits;
    *table = std::move(header.table);
    return true;
}

HDC CreateCompatibleDC(HDC) { return AddContext(nullptr, FindBitmap(DefaultBitmap())); }

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    Context* context = FindContext(dc);
    Bitmap* bitmap = FindBitmap(object);
    if (!context || context->surface || !bitmap) return nullptr;
    Bitmap* previous = context->selected;
    if (bitmap != previous && bitmap != FindBitmap(DefaultBitmap()) && SelectedAnywhere(bitmap)) {
        return nullptr;  // a bitmap sits in one memory context at a time
    }
    context->selected = bitmap;
    return reinterpret_cast<HGDIOBJ>(previous);
}

int GetObjectA(HGDIOBJ object, int size, void* out) {
    const Bitmap* bitmap = FindBitmap(object);
    if (!bitmap) return 0;
    if (!out) return static_cast<int>(sizeof(BITMAP));
    if (size <= 0) return 0;
    const DecodedBitmap& picture = bitmap->picture;
    const bool indexed = !picture.colours.empty();
    BITMAP info{};
    info.bmType = 0;
    info.bmWidth = picture.width;
    info.bmHeight = picture.height;
    info.bmWidthBytes = picture.width * (indexed ? 1 : 4);
    info.bmPlanes = 1;
    info.bmBitsPixel = indexed ? 8 : 32;
    info.bmBits = indexed ? static_cast<void*>(const_cast<uint8_t*>(picture.indices.data()))
                          : static_cast<void*>(const_cast<uint32_t*>(picture.rgb.data()));
    const size_t copied = std::min(static_cast<size_t>(size), sizeof(BITMAP));
    std::memcpy(out, &info, copied);
    return static_cast<int>(copied);
}

BOOL DeleteDC(HDC dc) {
    const Context* context = FindContext(dc);
    if (!context || context->surface) return FALSE;  // a surface's context goes back through ReleaseDC
    Contexts().erase(dc);
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ object) {
    const Bitmap* bitmap = FindBitmap(object);
    // The default bitmap stays, and a selected one stays until it is selected out.
    if (!bitmap || object == DefaultBitmap() || SelectedAnywhere(bitmap)) return FALSE;
    Bitmaps().erase(object);
    return TRUE;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
    const Context* to = FindContext(dest);
    const Context* from = FindContext(src);
    if (!to || !from || !to->surface || from->surface || rop != SRCCOPY) return FALSE;
    if (width < 0 || height < 0 || sw < 0 || sh < 0) return FALSE;  // mirroring is not offered
    if (width == 0 || height == 0 || sw == 0 || sh == 0) return TRUE;
    IDirectDrawSurface* surface = to->surface;
    if (SurfaceAccess::Lost(surface)) return FALSE;
    const DecodedBitmap& picture = from->selected->picture;
    ColourMatch match(picture);
    const int surfaceWidth = SurfaceAccess::Width(surface), surfaceHeight = SurfaceAccess::Height(surface);
    uint8_t* pixels = SurfaceAccess::Pixels(surface);

    // Cut to the surface; pixels whose source lies off the bitmap are left alone.
    const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(int64_t{x} + width, surfaceWidth);
    const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(int64_t{y} + height, surfaceHeight);
    std::vector<int64_t> columns;
    for (int64_t dx = x0; dx < x1; ++dx) columns.push_back(sx + (dx - x) * sw / width);
    for (int64_t dy = y0; dy < y1; ++dy) {
        const int64_t row = sy + (dy - y) * sh / height;
        if (row < 0 || row >= picture.height) continue;
        uint8_t* out = pixels + dy * surfaceWidth + x0;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] < 0 || columns[i] >= picture.width) continue;
            out[i] = match.At(static_cast<size_t>(row * picture.width + columns[i]));
        }
    }
    SurfaceAccess::Touch(surface);
    return TRUE;
}

int SetBkMode(HDC dc, int mode) {
    Context* context = FindContext(dc);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int previous = context->bkMode;
    context->bkMode = mode;
    return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    Context* context = FindContext(dc);
    if (!context) return 0xFFFFFFFFu;  // CLR_INVALID
    const COLORREF previous = context->textColour;
    context->textColour = colour;
    return previous;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int length) {
    const Context* context = FindContext(dc);
    if (!context || !context->surface || length < 0 || (length > 0 && !text)) return FALSE;
    winapi::NoteText(x, y, context->textColour, length > 0 ? text : "", length);
    IDirectDrawSurface* surface = context->surface;
    if (SurfaceAccess::Lost(surface)) return FALSE;
    if (length == 0) return TRUE;
    const COLORREF c = context->textColour;
    const uint8_t index = winapi::NearestIndex(winapi::DisplayPalette(), Red(c), Green(c), Blue(c));
    if (outlineTexts)
        DrawTextEdge(surface, x, y, text, length, winapi::NearestIndex(winapi::DisplayPalette(), 0, 0, 0));
    const int width = SurfaceAccess::Width(surface);
    DrawTextCp932(SurfaceAccess::Pixels(surface), width, SurfaceAccess::Height(surface), width, x, y, text, length,
                  index);
    SurfaceAccess::Touch(surface);
    return TRUE;
}
