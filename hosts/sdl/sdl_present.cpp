// The SDL host's presentation: SDL's renderer where a graphics card draws,
// the window's own surface, scaled and letterboxed by us, everywhere else.
#include "hosts/sdl/sdl_present.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <cstring>

#include "hosts/core/argb.h"
#include "hosts/core/fit_scale.h"
#include "hosts/core/picture_area.h"

namespace {

struct Presenter {
    SDL_Window* window = nullptr;
    sdl::present::Path path = sdl::present::Path::kAuto;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    char name[48] = {};

    // The window surface: the one last drawn on, and whether its borders and
    // the whole of it are to be drawn and shown again.
    const SDL_Surface* surface = nullptr;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    bool repaint = true;
    SDL_Rect picture{};

    player::options::ScaleMode scale = player::options::ScaleMode::kInteger;
    // For fit on the renderer: the picture enlarged by whole factors, then
    // stretched smoothly by the graphics card.
    SDL_Texture* sharp = nullptr;
};

Presenter g_present;

// OpenGL whose renderer string names one of Mesa's processor rasterisers
// (llvmpipe, softpipe, swrast "Software Rasterizer") draws no faster than
// our own copy, at several times the processor time.
bool DrawnByProcessor(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || (info.flags & SDL_RENDERER_SOFTWARE) != 0) return true;
    if (SDL_strncmp(info.name, "opengl", 6) != 0) return false;
    // The renderer's context is still current after its creation.
    using GetString = const GLubyte* (*)(GLenum);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const char* gl = getString != nullptr ? reinterpret_cast<const char*>(getString(GL_RENDERER)) : nullptr;
    if (gl == nullptr) return false;
    for (const char* word : {"llvmpipe", "softpipe", "Software", "swrast"})
        if (SDL_strstr(gl, word) != nullptr) return true;
    return false;
}

// The converted picture is 0xFFRRGGBB, which either format reads alike; the
// window's own spares the renderer a conversion at every frame.
bool OpenRenderer() {
    g_present.renderer = SDL_CreateRenderer(g_present.window, -1, 0);
    if (g_present.renderer == nullptr) return false;
    Uint32 format = SDL_GetWindowPixelFormat(g_present.window) == SDL_PIXELFORMAT_RGB888 ? SDL_PIXELFORMAT_RGB888
                                                                                         : SDL_PIXELFORMAT_ARGB8888;
    g_present.texture =
        SDL_CreateTexture(g_present.renderer, format, SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight);
    g_present.path = sdl::present::Path::kRenderer;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(g_present.renderer, &info) == 0)
        SDL_snprintf(g_present.name, sizeof g_present.name, "renderer %s", info.name);
    return g_present.texture != nullptr;
}

void CloseRenderer() {
    if (g_present.sharp != nullptr) SDL_DestroyTexture(g_present.sharp);
    g_present.sharp = nullptr;
    if (g_present.texture != nullptr) SDL_DestroyTexture(g_present.texture);
    if (g_present.renderer != nullptr) SDL_DestroyRenderer(g_present.renderer);
    g_present.texture = nullptr;
    g_present.renderer = nullptr;
}

// Our conversion writes whole 32-bit pixels; other depths go to the renderer.
bool OpenWindowSurface() {
    SDL_Surface* surface = SDL_GetWindowSurface(g_present.window);
    if (surface == nullptr || surface->format->BytesPerPixel != 4) return false;
    g_present.path = sdl::present::Path::kWindowSurface;
    g_present.surface = nullptr;
    g_present.repaint = true;
    SDL_strlcpy(g_present.name, "window surface", sizeof g_present.name);
    return true;
}

// The whole factor the picture is enlarged by, pixel for pixel, before any
// smooth step to the size of `rect`; 0 when it is shrunk.
int WholeFactor(const SDL_Rect& rect) { return std::min(rect.w / kScreenWidth, rect.h / kScreenHeight); }

bool SharpSize(int factor, int w, int h) { return w == kScreenWidth * factor && h == kScreenHeight * factor; }

// The picture enlarged by the whole factor on the graphics card, nearest
// pixel, to be stretched smoothly the rest of the way; the picture's own
// texture where no smooth step is needed (or none can be had).
SDL_Texture* SharpTexture(const SDL_Rect& rect) {
    int factor = WholeFactor(rect);
    if (factor == 0 || SharpSize(factor, rect.w, rect.h)) return g_present.texture;
    int w = 0, h = 0;
    if (g_present.sharp != nullptr) SDL_QueryTexture(g_present.sharp, nullptr, nullptr, &w, &h);
    if (!SharpSize(factor, w, h)) {
        if (g_present.sharp != nullptr) SDL_DestroyTexture(g_present.sharp);
        g_present.sharp = SDL_CreateTexture(g_present.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                            kScreenWidth * factor, kScreenHeight * factor);
        if (g_present.sharp == nullptr) return g_present.texture;
        SDL_SetTextureScaleMode(g_present.sharp, SDL_ScaleModeLinear);
    }
    if (SDL_SetRenderTarget(g_present.renderer, g_present.sharp) != 0) return g_present.texture;
    SDL_RenderCopy(g_present.renderer, g_present.texture, nullptr, nullptr);
    SDL_SetRenderTarget(g_present.renderer, nullptr);
    return g_present.sharp;
}

void DrawOnRenderer(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    void* target;
    int pitch;
    if (SDL_LockTexture(g_present.texture, nullptr, &target, &pitch) == 0) {
        core::ConvertToArgb(pixels, palette, target, pitch);
        SDL_UnlockTexture(g_present.texture);
    }
    int outputWidth, outputHeight;
    if (SDL_GetRendererOutputSize(g_present.renderer, &outputWidth, &outputHeight) != 0) return;
    SDL_Rect rect = sdl::present::PictureRect(outputWidth, outputHeight, g_present.scale);
    SDL_Texture* shown = SharpTexture(rect);
    SDL_SetRenderDrawColor(g_present.renderer, 0, 0, 0, 255);
    SDL_RenderClear(g_present.renderer);
    SDL_RenderCopy(g_present.renderer, shown, nullptr, &rect);
}

// Only the picture is drawn, frame after frame, by the core's conversion
// straight into the window's pixels (whole factors, then a smooth step to
// its place); the black borders only when the surface is new or its pixels
// may have gone.
void DrawOnWindowSurface(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    SDL_Surface* surface = SDL_GetWindowSurface(g_present.window);
    if (surface == nullptr) return;
    if (surface != g_present.surface || surface->w != g_present.surfaceWidth || surface->h != g_present.surfaceHeight) {
        g_present.surface = surface;
        g_present.surfaceWidth = surface->w;
        g_present.surfaceHeight = surface->h;
        g_present.repaint = true;
    }
    g_present.picture = sdl::present::PictureRect(surface->w, surface->h, g_present.scale);
    if (g_present.repaint) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = SDL_MapRGB(surface->format, palette[i].peRed, palette[i].peGreen, palette[i].peBlue);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    const SDL_Rect& r = g_present.picture;
    uint8_t* corner = static_cast<uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(r.y) * surface->pitch + r.x * 4;
    core::ConvertFitted(pixels, colours, r.w, r.h, corner, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
}

}  // namespace

namespace sdl::present {

bool Open(SDL_Window* window, Path path) {
    Close();
    g_present.window = window;
    // With a renderer of our choosing at hand, SDL's window surface should be
    // the plain framebuffer of the video driver, not one more OpenGL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    if (path != Path::kWindowSurface) {
        if (OpenRenderer() && (path == Path::kRenderer || !DrawnByProcessor(g_present.renderer))) return true;
        CloseRenderer();
        if (path == Path::kRenderer) return false;
    }
    if (OpenWindowSurface()) return true;
    if (path == Path::kWindowSurface) return false;
    // Some drivers (Wayland's) have no surface of their own for a window.
    if (OpenRenderer()) return true;
    Close();
    return false;
}

void Close() {
    CloseRenderer();
    player::options::ScaleMode scale = g_present.scale;
    g_present = Presenter{};
    g_present.scale = scale;
}

Path Current() { return g_present.path; }

const char* Describe() { return g_present.name; }

bool SetVsync(bool on) {
    if (g_present.renderer == nullptr) return false;
    if (SDL_RenderSetVSync(g_present.renderer, on ? 1 : 0) != 0 || !on) return false;
    // Where the driver cannot wait for the blank, SDL quietly imitates vsync
    // with millisecond sleeps; that is no better than the host's own deadline.
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(g_present.renderer, &info) != 0) return false;
    if (SDL_strncmp(info.name, "opengl", 6) == 0) return SDL_GL_GetSwapInterval() != 0;
    return SDL_strcmp(info.name, "software") != 0;
}

void Invalidate() { g_present.repaint = true; }

void Draw(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    if (g_present.path == Path::kRenderer) DrawOnRenderer(pixels, palette);
    else if (g_present.path == Path::kWindowSurface) DrawOnWindowSurface(pixels, palette);
}

void Show() {
    if (g_present.path == Path::kRenderer) {
        SDL_RenderPresent(g_present.renderer);
    } else if (g_present.path == Path::kWindowSurface && g_present.surface != nullptr) {
        if (g_present.repaint) SDL_UpdateWindowSurface(g_present.window);
        else SDL_UpdateWindowSurfaceRects(g_present.window, &g_present.picture, 1);
        g_present.repaint = false;
    }
}

void SetScaleMode(player::options::ScaleMode mode) {
    g_present.scale = mode;
    g_present.repaint = true;
}

SDL_Rect PictureRect(int outputWidth, int outputHeight, player::options::ScaleMode mode) {
    core::PictureArea area = core::PictureAreaIn(outputWidth, outputHeight, mode);
    return SDL_Rect{area.x, area.y, area.width, area.height};
}

}  // namespace sdl::present
