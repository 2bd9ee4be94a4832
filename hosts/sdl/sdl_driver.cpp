// The SDL2 driver: one window showing the 640x480 picture letterboxed
// (sdl_present.cpp), full screen or a window, SDL's events heard by the core
// (keys and pads in sdl_input.cpp), paced by the core, the message box in
// sdl_box.cpp. KAWAUO_PRESENT=renderer or =surface overrides the
// choice of sdl_present.h.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "hosts/core/driver.h"
#include "hosts/core/pacing.h"
#include "hosts/core/picture_area.h"
#include "hosts/core/shown.h"
#include "hosts/sdl/sdl_internal.h"
#include "hosts/sdl/sdl_present.h"
#include "player/version.h"
#include "winapi/baked.h"
#include "winapi/process.h"

namespace {

struct SdlDriver {
    bool videoTried = false;
    bool videoReady = false;
    bool boxes = false;  // a driver that shows windows, where a box can be answered
    bool cursorVisible = true;
    SDL_Window* window = nullptr;
    bool presenting = false;
    bool fullscreen = true;
    core::WindowWish wish;
    int ownWidth = 0;  // the window's size as the driver last set it
    int ownHeight = 0;
};

SdlDriver g_sdl;

// Drivers that show nothing: SDL falls back on them when no display opens,
// and the game would then run unseen for ever.
bool ShowsNothing(const char* driver) {
    return SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "evdev") == 0;
}

// Unless SDL_VIDEODRIVER names a driver, SDL tries the drivers that show
// something, in its own order, and no other.
void KeepToVisibleDrivers() {
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);  // the variable, or a program's hint
    if (asked != nullptr && *asked != '\0') return;
    std::string visible;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* driver = SDL_GetVideoDriver(i);
        if (ShowsNothing(driver)) continue;
        if (!visible.empty()) visible += ',';
        visible += driver;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, visible.empty() ? "(none that shows a window)" : visible.c_str());
}

// SDL's own signal handlers would turn SIGTERM and SIGINT into a close
// request that a message box never reads: the game takes them itself.
bool EnsureVideo() {
    if (!g_sdl.videoTried) {
        g_sdl.videoTried = true;
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // A window's surface is the video driver's own framebuffer, never an
        // OpenGL texture: a box shown before the game's window (no pictures)
        // needs no OpenGL brought up for it.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        KeepToVisibleDrivers();
        g_sdl.videoReady = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        if (g_sdl.videoReady) {
            winapi::process::CatchStopSignals();
            g_sdl.boxes = !ShowsNothing(SDL_GetCurrentVideoDriver());
        } else {
            const char* display = std::getenv("DISPLAY");
            std::fprintf(stderr, "kawauo: cannot open a display: %s (DISPLAY %s%s)\n", SDL_GetError(),
                         display != nullptr ? "is " : "is not set", display != nullptr ? display : "");
        }
    }
    return g_sdl.videoReady;
}

void DesktopSize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    }
}

// Pacing starts anew with the window's display or mode: vsync is tried on a
// display of 60 Hz.
void StartPacing() {
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(g_sdl.window);
    const int hz = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
    core::pacing::Start(core::pacing::Means{.setVsync = sdl::present::SetVsync}, hz);
}

const char* DescribePacing() {
    static std::string text;
    text = std::string(core::pacing::Describe()) + ", " + sdl::present::Describe();
    return text.c_str();
}

// The window's size: core::WindowIn in the display's usable room.
void SetWindowedSize() {
    SDL_Rect usable{0, 0, kScreenWidth, kScreenHeight};
    SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(g_sdl.window)), &usable);
    const core::PictureArea size =
        core::WindowIn(usable.w, usable.h, g_sdl.wish.width, g_sdl.wish.height, g_sdl.wish.scale);
    g_sdl.ownWidth = size.width;
    g_sdl.ownHeight = size.height;
    SDL_SetWindowSize(g_sdl.window, g_sdl.ownWidth, g_sdl.ownHeight);
}

// Full screen over the desktop, or a window.
void ApplyFullscreen() {
    if (g_sdl.fullscreen) {
        // The desktop's size first, for displays without a window manager.
        int width = kScreenWidth, height = kScreenHeight;
        DesktopSize(&width, &height);
        SDL_SetWindowSize(g_sdl.window, width, height);
        SDL_SetWindowPosition(g_sdl.window, 0, 0);
        SDL_SetWindowFullscreen(g_sdl.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(g_sdl.window, 0);
        SetWindowedSize();
        SDL_SetWindowPosition(g_sdl.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    sdl::present::Invalidate();
    StartPacing();
}

void SetFullscreen(bool fullscreen) {
    if (g_sdl.window == nullptr) return;
    g_sdl.fullscreen = fullscreen;
    ApplyFullscreen();
}

// A window resized by the player, not by the driver's own switches (which
// also pass through the desktop's size on their way).
void NoteResized(int width, int height) {
    int desktopWidth = kScreenWidth, desktopHeight = kScreenHeight;
    DesktopSize(&desktopWidth, &desktopHeight);
    const bool own = width == g_sdl.ownWidth && height == g_sdl.ownHeight;
    const bool desktop = width == desktopWidth && height == desktopHeight;
    const bool fullscreen = (SDL_GetWindowFlags(g_sdl.window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (!g_sdl.fullscreen && !fullscreen && !own && !desktop)
        core::Hear(core::RawEvent{.kind = core::RawKind::kResized, .width = width, .height = height});
}

void TranslateWindowEvent(const SDL_WindowEvent& e) {
    if (e.event == SDL_WINDOWEVENT_FOCUS_GAINED || e.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        core::Hear(core::RawEvent{.kind = core::RawKind::kFocus, .down = e.event == SDL_WINDOWEVENT_FOCUS_GAINED});
    } else if (e.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
        StartPacing();
    } else if (e.event == SDL_WINDOWEVENT_RESIZED) {  // after its SIZE_CHANGED
        NoteResized(e.data1, e.data2);
    } else if (e.event == SDL_WINDOWEVENT_EXPOSED || e.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        sdl::present::Invalidate();
    }
}

// Made at the desktop's size, so that it covers the screen even where no
// window manager honours the full-screen request; ready for OpenGL where
// there is any, so that SDL need not make the window again (a new one to
// the window system) for an OpenGL renderer. Titled with the game's name,
// as the taskbar and the window list show it.
bool Open(const core::WindowWish& wish) {
    if (g_sdl.window != nullptr) return true;
    if (!EnsureVideo()) return false;
    g_sdl.wish = wish;
    g_sdl.fullscreen = wish.fullscreen;
    int width = kScreenWidth, height = kScreenHeight;
    DesktopSize(&width, &height);
    for (Uint32 opengl : {Uint32{SDL_WINDOW_OPENGL}, Uint32{0}}) {
        const Uint32 flags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_RESIZABLE | opengl;
        g_sdl.window =
            SDL_CreateWindow(KAWAUO_NAME, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
        if (g_sdl.window != nullptr) break;
    }
    const char* wanted = std::getenv("KAWAUO_PRESENT");
    sdl::present::Path path = sdl::present::Path::kAuto;
    if (wanted != nullptr && SDL_strcmp(wanted, "renderer") == 0) path = sdl::present::Path::kRenderer;
    if (wanted != nullptr && SDL_strcmp(wanted, "surface") == 0) path = sdl::present::Path::kWindowSurface;
    sdl::present::SetScaleMode(wish.scale);
    g_sdl.presenting = g_sdl.window != nullptr && sdl::present::Open(g_sdl.window, path);
    if (!g_sdl.presenting) {
        std::fprintf(stderr, "kawauo: cannot open the window: %s\n", SDL_GetError());
        if (g_sdl.window != nullptr) SDL_DestroyWindow(g_sdl.window);
        g_sdl.window = nullptr;
        return false;
    }
    SDL_SetWindowMinimumSize(g_sdl.window, kScreenWidth / 2, kScreenHeight / 2);
    SDL_StopTextInput();
    SDL_ShowCursor(g_sdl.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
    // Pads plugged in now arrive as "added" events, like those plugged in later.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        std::fprintf(stderr, "kawauo: no gamepads: %s\n", SDL_GetError());
    if (g_sdl.fullscreen) StartPacing();
    else ApplyFullscreen();
    return true;
}

void Close() {
    sdl::ClosePads();
    if (g_sdl.presenting) sdl::present::Close();
    if (g_sdl.window != nullptr) SDL_DestroyWindow(g_sdl.window);
    g_sdl.presenting = false;
    g_sdl.window = nullptr;
}

void SetCursor(bool visible) {
    g_sdl.cursorVisible = visible;
    if (g_sdl.window != nullptr) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void Pump() {
    SDL_Event e;
    while (g_sdl.videoReady && SDL_PollEvent(&e)) sdl::Translate(e);
}

void Wait(uint32_t ms) {
    SDL_Event e;
    if (g_sdl.videoReady && SDL_WaitEventTimeout(&e, static_cast<int>(ms)) != 0) sdl::Translate(e);
}

void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    if (!g_sdl.presenting) return;
    sdl::present::Draw(pixels, palette);
    core::pacing::BeforeShow();
    sdl::present::Show();
    core::pacing::AfterShow();
}

// Drawn in the game's own font in a window of the driver's: SDL's box leaves
// the text to the X server's fonts, which may have no Japanese.
void ShowBox(const char* caption, const char* text) {
    if (g_sdl.window == nullptr && !EnsureVideo()) return;  // already on standard error
    if (g_sdl.boxes) sdl::ShowBox(g_sdl.window, caption, text);
}

bool KeyKnown(const std::string& name) { return SDL_GetKeyFromName(name.c_str()) != SDLK_UNKNOWN; }

// A note in the window's title, after the game's name. The two are joined in
// ASCII: SDL's X11 title under the C locale, which the game keeps, leaves
// the window managers' title (_NET_WM_NAME) as it was for any character it
// cannot convert, so that an em dash kept every note off the title bar.
void ShowNote(const char* text) {
    if (g_sdl.window == nullptr) return;
    const std::string title = text[0] == '\0' ? KAWAUO_NAME : std::string(KAWAUO_NAME " - ") + text;
    SDL_SetWindowTitle(g_sdl.window, title.c_str());
}

bool CopyText(const char* text) { return SDL_SetClipboardText(text) == 0; }

constexpr core::Driver kDriver{
    .desktopSize = DesktopSize,
    .open = Open,
    .close = Close,
    .present = Present,
    .pump = Pump,
    .showBox = ShowBox,
    .font = winapi::baked::BuiltIn,
    .setCursor = SetCursor,
    .setFullscreen = SetFullscreen,
    .wait = Wait,
    .keyKnown = KeyKnown,
    .pacing = DescribePacing,
    .showNote = ShowNote,
    .copyText = CopyText,
    .screenshot = core::TakeScreenshot,
    .threads = true,
};

}  // namespace

const core::Driver& core::TheDriver() { return kDriver; }

namespace sdl {

void Translate(const SDL_Event& e) {
    if (e.type == SDL_QUIT) core::Hear(core::RawEvent{.kind = core::RawKind::kClose});
    else if (e.type == SDL_WINDOWEVENT) TranslateWindowEvent(e.window);
    else TranslateInput(e);
}

}  // namespace sdl
