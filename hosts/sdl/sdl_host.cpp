// The players' host: one SDL2 window showing the 640x480 picture scaled by
// whole factors and letterboxed, with the event queue the game polls. Input,
// pacing, frame statistics and the settings file are in sdl_input.cpp,
// sdl_pacing.cpp, hosts/core/frame_stats.cpp and sdl_settings.cpp.
//
// Alt+Enter switches between full screen and a window, F12 saves a
// screenshot (player/screenshot.h); the game sees neither.
// KAWAUO_PRESENT=renderer or =surface overrides the choice of sdl_present.h.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <string>

#include "hosts/core/frame_stats.h"
#include "hosts/core/pause_clock.h"
#include "hosts/sdl/sdl_host.h"
#include "hosts/sdl/sdl_internal.h"
#include "hosts/sdl/sdl_present.h"
#include "player/screenshot.h"
#include "player/version.h"
#include "winapi/host.h"
#include "winapi/process.h"

namespace {

struct SdlHost {
    bool videoTried = false;
    bool videoReady = false;
    bool boxes = false;  // a driver that shows windows, where a box can be answered
    bool stopSent = false;
    bool cursorVisible = true;
    SDL_Window* window = nullptr;
    bool presenting = false;
    bool fullscreen = true;
    int ownWidth = 0;  // the window's size as the host last set it
    int ownHeight = 0;
    player::options::Options chosen;
    std::deque<winapi::host::Event> events;
    core::PauseClock clock;  // stands still while paused out of focus
};

SdlHost g_sdl;

const auto g_start = std::chrono::steady_clock::now();

uint32_t RunningMilliseconds() {
    auto elapsed = std::chrono::steady_clock::now() - g_start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

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

// The largest whole scale of the picture that fits the usable desktop.
int WindowScale() {
    SDL_Rect usable{0, 0, kScreenWidth, kScreenHeight};
    int display = g_sdl.window != nullptr ? SDL_GetWindowDisplayIndex(g_sdl.window) : 0;
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0) return 1;
    return std::max(1, std::min(usable.w / kScreenWidth, usable.h / kScreenHeight));
}

// The window's size: as the player left it, where it still fits the desktop;
// else the largest whole scale.
void SetWindowedSize() {
    const player::settings::Settings& saved = sdl::SavedSettings();
    SDL_Rect usable{0, 0, kScreenWidth, kScreenHeight};
    int display = std::max(0, SDL_GetWindowDisplayIndex(g_sdl.window));
    bool fits = saved.windowWidth > 0 && SDL_GetDisplayUsableBounds(display, &usable) == 0 &&
                saved.windowWidth <= usable.w && saved.windowHeight <= usable.h;
    int scale = WindowScale();
    g_sdl.ownWidth = fits ? saved.windowWidth : kScreenWidth * scale;
    g_sdl.ownHeight = fits ? saved.windowHeight : kScreenHeight * scale;
    SDL_SetWindowSize(g_sdl.window, g_sdl.ownWidth, g_sdl.ownHeight);
}

// Full screen over the desktop, or a window.
void ApplyFullscreen() {
    if (g_sdl.fullscreen) {
        // The desktop's size first, for displays without a window manager.
        SDL_SetWindowSize(g_sdl.window, winapi::host::DesktopWidth(), winapi::host::DesktopHeight());
        SDL_SetWindowPosition(g_sdl.window, 0, 0);
        SDL_SetWindowFullscreen(g_sdl.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(g_sdl.window, 0);
        SetWindowedSize();
        SDL_SetWindowPosition(g_sdl.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    sdl::present::Invalidate();
    sdl::StartPacing(g_sdl.window);
}

void ToggleFullscreen() {
    if (g_sdl.window == nullptr) return;
    g_sdl.fullscreen = !g_sdl.fullscreen;
    ApplyFullscreen();
    sdl::RememberFullscreen(g_sdl.fullscreen);
}

// A window resized by the player, not by the host's own switches (which
// also pass through the desktop's size on their way).
void NoteResized(int width, int height) {
    bool own = width == g_sdl.ownWidth && height == g_sdl.ownHeight;
    bool desktop = width == winapi::host::DesktopWidth() && height == winapi::host::DesktopHeight();
    bool fullscreen = (SDL_GetWindowFlags(g_sdl.window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (!g_sdl.fullscreen && !fullscreen && !own && !desktop) sdl::RememberWindowSize(width, height);
}

void TranslateWindowEvent(const SDL_WindowEvent& e) {
    if (e.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        g_sdl.clock.Resume(RunningMilliseconds());
        sdl::PushEvent(winapi::host::Event{winapi::host::EventKind::Activate, 0});
    } else if (e.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        sdl::ReleaseAllKeys();
        sdl::PushEvent(winapi::host::Event{winapi::host::EventKind::Deactivate, 0});
        if (g_sdl.chosen.pauseUnfocused) g_sdl.clock.Pause(RunningMilliseconds());
    } else if (e.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
        sdl::StartPacing(g_sdl.window);
    } else if (e.event == SDL_WINDOWEVENT_RESIZED) {  // after its SIZE_CHANGED
        NoteResized(e.data1, e.data2);
    } else if (e.event == SDL_WINDOWEVENT_EXPOSED || e.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        sdl::present::Invalidate();
    }
}

}  // namespace

namespace sdl {

void Translate(const SDL_Event& e) {
    if (e.type == SDL_QUIT) {
        PushEvent(winapi::host::Event{winapi::host::EventKind::Close, 0});
    } else if (e.type == SDL_WINDOWEVENT) {
        TranslateWindowEvent(e.window);
    } else if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT) != 0) {
        if (e.key.repeat == 0) ToggleFullscreen();
    } else if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_F12) {
        if (e.key.repeat == 0) player::screenshot::TakeLast();
    } else {
        TranslateInput(e);
    }
}

void PushEvent(winapi::host::Event event) { g_sdl.events.push_back(event); }

void UseOptions(const player::options::Options& chosen) { g_sdl.chosen = chosen; }

}  // namespace sdl

namespace winapi::host {

int DesktopWidth() {
    SDL_DisplayMode mode;
    return EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.w : kScreenWidth;
}

int DesktopHeight() {
    SDL_DisplayMode mode;
    return EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.h : kScreenHeight;
}

// Titled with the game's name, as the taskbar and the window list show it:
// "2DGAME" is the game's own name for its popup, inside the game.
bool OpenDisplay(const char*) {
    if (g_sdl.window != nullptr) return true;
    if (!EnsureVideo()) return false;
    // Made at the desktop's size, so that it covers the screen even where no
    // window manager honours the full-screen request.
    // Ready for OpenGL where there is any, so that SDL need not make the
    // window again (a new one to the window system) for an OpenGL renderer.
    g_sdl.fullscreen = g_sdl.chosen.fullscreen.value_or(sdl::SavedSettings().fullscreen);
    for (Uint32 opengl : {Uint32{SDL_WINDOW_OPENGL}, Uint32{0}}) {
        const Uint32 flags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_RESIZABLE | opengl;
        g_sdl.window = SDL_CreateWindow(KAWAUO_NAME, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        winapi::host::DesktopWidth(), winapi::host::DesktopHeight(), flags);
        if (g_sdl.window != nullptr) break;
    }
    const char* wanted = std::getenv("KAWAUO_PRESENT");
    sdl::present::Path path = sdl::present::Path::kAuto;
    if (wanted != nullptr && SDL_strcmp(wanted, "renderer") == 0) path = sdl::present::Path::kRenderer;
    if (wanted != nullptr && SDL_strcmp(wanted, "surface") == 0) path = sdl::present::Path::kWindowSurface;
    sdl::present::SetScaleMode(g_sdl.chosen.scale.value_or(sdl::SavedSettings().scale));
    g_sdl.presenting = g_sdl.window != nullptr && sdl::present::Open(g_sdl.window, path);
    if (!g_sdl.presenting) {
        std::fprintf(stderr, "kawauo: cannot open the window: %s\n", SDL_GetError());
        CloseDisplay();
        return false;
    }
    SDL_SetWindowMinimumSize(g_sdl.window, kScreenWidth / 2, kScreenHeight / 2);
    SDL_StopTextInput();
    SDL_ShowCursor(g_sdl.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
    // Pads plugged in now arrive as "added" events, like those plugged in later.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        std::fprintf(stderr, "kawauo: no gamepads: %s\n", SDL_GetError());
    core::frame_stats::Start(sdl::DescribePacing);
    if (g_sdl.fullscreen) sdl::StartPacing(g_sdl.window);
    else ApplyFullscreen();
    return true;
}

void CloseDisplay() {
    sdl::SaveResting(true);
    sdl::ClosePads();
    if (g_sdl.presenting) sdl::present::Close();
    if (g_sdl.window != nullptr) SDL_DestroyWindow(g_sdl.window);
    g_sdl.presenting = false;
    g_sdl.window = nullptr;
}

void SetCursorVisible(bool visible) {
    g_sdl.cursorVisible = visible;
    if (g_sdl.window != nullptr) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

// Paused out of focus, the wait for the next event holds the game's loop:
// no frame runs until the focus (or a close request) comes. A stop signal
// closes the window, as the player would.
bool PollEvent(Event* event) {
    SDL_Event e;
    sdl::SaveResting(false);
    while (g_sdl.events.empty() && g_sdl.videoReady && SDL_PollEvent(&e)) sdl::Translate(e);
    while (g_sdl.events.empty() && g_sdl.clock.Paused() && winapi::process::StopSignal() == 0) {
        if (SDL_WaitEventTimeout(&e, sdl::kStopLookMs) != 0) sdl::Translate(e);
    }
    if (winapi::process::StopSignal() != 0 && !g_sdl.stopSent) {
        g_sdl.stopSent = true;
        sdl::PushEvent(winapi::host::Event{winapi::host::EventKind::Close, 0});
    }
    if (g_sdl.events.empty()) return false;
    *event = g_sdl.events.front();
    g_sdl.events.pop_front();
    return true;
}

uint32_t Milliseconds() { return g_sdl.clock.Read(RunningMilliseconds()); }

int64_t CalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    if (!g_sdl.presenting) return;
    sdl::present::Draw(pixels, palette);
    player::screenshot::KeepLast(pixels, palette);
    sdl::PaceFrame();
    sdl::present::Show();
    sdl::NoteShown();
}

// Drawn in the game's own font in a window of the host's: SDL's box leaves
// the text to the X server's fonts, which may have no Japanese.
void ShowMessageBox(const char* caption, const char* text) {
    if (g_sdl.window == nullptr && !EnsureVideo()) return;  // already on standard error
    if (g_sdl.boxes) sdl::ShowBox(g_sdl.window, caption, text);
}

void DebugLine(const char*) {}

void NoteFlip(HRESULT) {}

}  // namespace winapi::host
