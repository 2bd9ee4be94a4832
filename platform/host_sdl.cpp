// The players' host: one SDL2 window showing the 640x480 picture scaled by
// whole factors and letterboxed, paced at 60 Hz, with keyboard and gamepads.
//
// Gamepad: d-pad and left stick = arrows, A (south) and Start = SPACE,
// X = F1, Y = F2, B = F3, Back = TAB, Guide = ESC.
// Alt+Enter switches between full screen and a window; the game never sees it.
// KAWAUO_FRAME_STATS=1 in the environment writes the present intervals
// (mean and 99th percentile) to standard error every 10 seconds.
// KAWAUO_PRESENT=renderer or =surface overrides the choice of present_sdl.h.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <vector>

#include "platform/host.h"
#include "platform/platform_internal.h"
#include "platform/present_sdl.h"

namespace {

constexpr int kKeyCount = 256;
constexpr int kStickPress = 16000;    // of 32767: the stick counts as an arrow beyond this
constexpr int kStickRelease = 12000;  // and stops below this, so it does not flicker
constexpr double kFrameSeconds = 1.0 / 60.0;
constexpr int kVsyncWarmUp = 10;   // presents before timing vsync
constexpr int kVsyncTrial = 30;    // presents timed to see whether vsync holds 60 Hz
constexpr int kVsyncLost = 10;     // quick presents in a row that show vsync has stopped waiting
constexpr int kStatsSeconds = 10;

enum class Pacing { kTimer, kVsyncTrial, kVsync };

struct Pad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    uint32_t buttons;  // bit per SDL_GameControllerButton
    int stickX;        // -1, 0, 1
    int stickY;
};

struct SdlHost {
    bool videoTried = false;
    bool videoReady = false;
    bool cursorVisible = true;
    SDL_Window* window = nullptr;
    bool presenting = false;
    bool fullscreen = true;

    std::deque<host::Event> events;
    bool keyboardHeld[kKeyCount] = {};
    bool shownHeld[kKeyCount] = {};  // what the game has been told
    std::vector<Pad> pads;

    Pacing pacing = Pacing::kTimer;
    uint64_t frequency = 1;
    uint64_t period = 1;
    uint64_t deadline = 0;
    int trialPresents = 0;
    uint64_t trialStart = 0;
    int quickPresents = 0;  // under vsync, presents that did not wait
    uint64_t lastPresent = 0;

    bool stats = false;
    uint64_t statsStart = 0;
    std::vector<double> intervals;
};

SdlHost g_sdl;

const auto g_start = std::chrono::steady_clock::now();

// The keys the game reads, and the only ones it is told about.
int VirtualKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_TAB: return VK_TAB;
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_UP: return VK_UP;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_F1: return VK_F1;
        case SDLK_F2: return VK_F2;
        case SDLK_F3: return VK_F3;
        default: return 0;
    }
}

int PadButtonKey(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A: return VK_SPACE;
        case SDL_CONTROLLER_BUTTON_START: return VK_SPACE;
        case SDL_CONTROLLER_BUTTON_X: return VK_F1;
        case SDL_CONTROLLER_BUTTON_Y: return VK_F2;
        case SDL_CONTROLLER_BUTTON_B: return VK_F3;
        case SDL_CONTROLLER_BUTTON_BACK: return VK_TAB;
        case SDL_CONTROLLER_BUTTON_GUIDE: return VK_ESCAPE;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return VK_LEFT;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return VK_RIGHT;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return VK_UP;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return VK_DOWN;
        default: return 0;
    }
}

bool PadHolds(const Pad& pad, int vk) {
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
        if ((pad.buttons >> b & 1) != 0 && PadButtonKey(b) == vk) return true;
    return (vk == VK_LEFT && pad.stickX < 0) || (vk == VK_RIGHT && pad.stickX > 0) ||
           (vk == VK_UP && pad.stickY < 0) || (vk == VK_DOWN && pad.stickY > 0);
}

// A key is down while the keyboard or any pad holds it; the game hears of
// each change once, whichever device made it, releases before presses (a
// stick swung from one side to the other lets go first).
void SyncKeys() {
    bool held[kKeyCount] = {};
    for (int vk = 1; vk < kKeyCount; ++vk) {
        held[vk] = g_sdl.keyboardHeld[vk];
        for (const Pad& pad : g_sdl.pads) held[vk] = held[vk] || PadHolds(pad, vk);
    }
    for (bool press : {false, true}) {
        for (int vk = 1; vk < kKeyCount; ++vk) {
            if (held[vk] != press || held[vk] == g_sdl.shownHeld[vk]) continue;
            g_sdl.shownHeld[vk] = press;
            g_sdl.events.push_back(host::Event{press ? host::EventKind::KeyDown : host::EventKind::KeyUp, vk});
        }
    }
}

// On losing the focus no key may stay down: the releases would go elsewhere.
void ReleaseAllKeys() {
    std::fill(std::begin(g_sdl.keyboardHeld), std::end(g_sdl.keyboardHeld), false);
    for (Pad& pad : g_sdl.pads) pad = Pad{pad.controller, pad.id, 0, 0, 0};
    SyncKeys();
}

Pad* FindPad(SDL_JoystickID id) {
    for (Pad& pad : g_sdl.pads)
        if (pad.id == id) return &pad;
    return nullptr;
}

void AddPad(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (FindPad(id) != nullptr) {
        SDL_GameControllerClose(controller);  // opened twice: keep one reference
        return;
    }
    g_sdl.pads.push_back(Pad{controller, id, 0, 0, 0});
}

void RemovePad(SDL_JoystickID id) {
    auto it = std::find_if(g_sdl.pads.begin(), g_sdl.pads.end(), [id](const Pad& p) { return p.id == id; });
    if (it == g_sdl.pads.end()) return;
    SDL_GameControllerClose(it->controller);
    g_sdl.pads.erase(it);
    SyncKeys();
}

int StickDirection(int previous, int value) {
    int magnitude = value < 0 ? -value : value;
    if (magnitude > kStickPress) return value < 0 ? -1 : 1;
    if (magnitude < kStickRelease) return 0;
    return previous;
}

uint64_t Now() { return SDL_GetPerformanceCounter(); }

bool EnsureVideo() {
    if (!g_sdl.videoTried) {
        g_sdl.videoTried = true;
        g_sdl.videoReady = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        if (!g_sdl.videoReady) std::fprintf(stderr, "kawauo: no display: %s\n", SDL_GetError());
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

// Vsync is used only on a display that runs at 60 Hz, and only once the
// presents are seen to wait for it; everywhere else an absolute deadline.
void ChoosePacing() {
    g_sdl.deadline = Now();
    g_sdl.pacing = Pacing::kTimer;
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(g_sdl.window);
    bool sixty = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate >= 59 &&
                 mode.refresh_rate <= 61;
    if (sixty && present::SetVsync(true)) {
        g_sdl.pacing = Pacing::kVsyncTrial;
        g_sdl.trialPresents = 0;
    } else {
        present::SetVsync(false);
    }
}

// A hidden or minimised window may stop waiting for vsync: then the timer takes over.
void WatchVsync(uint64_t now, uint64_t interval) {
    bool quick = interval < g_sdl.period / 2;
    g_sdl.quickPresents = quick ? g_sdl.quickPresents + 1 : 0;
    if (g_sdl.quickPresents < kVsyncLost) return;
    present::SetVsync(false);
    g_sdl.pacing = Pacing::kTimer;
    g_sdl.deadline = now;
}

void JudgeVsyncTrial(uint64_t now) {
    ++g_sdl.trialPresents;
    if (g_sdl.trialPresents == kVsyncWarmUp) g_sdl.trialStart = now;
    if (g_sdl.trialPresents < kVsyncWarmUp + kVsyncTrial) return;
    double mean = static_cast<double>(now - g_sdl.trialStart) / static_cast<double>(g_sdl.frequency) / kVsyncTrial;
    bool holds = mean > kFrameSeconds * 0.93 && mean < kFrameSeconds * 1.07;
    if (holds) {
        g_sdl.pacing = Pacing::kVsync;
        g_sdl.quickPresents = 0;
        return;
    }
    present::SetVsync(false);
    g_sdl.pacing = Pacing::kTimer;
    g_sdl.deadline = now;
}

// Sleeps to about a millisecond before the deadline, then spins to it. More
// than a frame late, the schedule starts again from now instead of hurrying.
void WaitForDeadline() {
    uint64_t now = Now();
    if (now > g_sdl.deadline + g_sdl.period) g_sdl.deadline = now;
    const uint64_t millisecond = g_sdl.frequency / 1000;
    while (now < g_sdl.deadline) {
        uint64_t left = g_sdl.deadline - now;
        if (left > 2 * millisecond) SDL_Delay(static_cast<Uint32>(left / millisecond - 1));
        now = Now();
    }
    g_sdl.deadline += g_sdl.period;
}

void NoteInterval(uint64_t now, uint64_t interval) {
    if (!g_sdl.stats) return;
    if (g_sdl.statsStart == 0) g_sdl.statsStart = now;
    if (interval != 0) g_sdl.intervals.push_back(static_cast<double>(interval) * 1000.0 / g_sdl.frequency);
    if (now - g_sdl.statsStart < kStatsSeconds * g_sdl.frequency || g_sdl.intervals.empty()) return;
    std::vector<double> sorted = g_sdl.intervals;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double v : sorted) sum += v;
    size_t p99 = std::min(sorted.size() - 1, sorted.size() * 99 / 100);
    std::fprintf(stderr, "kawauo: frame pacing: %zu presents, mean %.3f ms, p99 %.3f ms, max %.3f ms, %s, %s\n",
                 sorted.size(), sum / sorted.size(), sorted[p99], sorted.back(),
                 g_sdl.pacing == Pacing::kVsync ? "vsync" : "timer", present::Describe());
    g_sdl.intervals.clear();
    g_sdl.statsStart = now;
}

void ToggleFullscreen() {
    if (g_sdl.window == nullptr) return;
    g_sdl.fullscreen = !g_sdl.fullscreen;
    if (g_sdl.fullscreen) {
        // The desktop's size first, for displays without a window manager.
        SDL_SetWindowSize(g_sdl.window, host::DesktopWidth(), host::DesktopHeight());
        SDL_SetWindowPosition(g_sdl.window, 0, 0);
        SDL_SetWindowFullscreen(g_sdl.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(g_sdl.window, 0);
        int scale = WindowScale();
        SDL_SetWindowSize(g_sdl.window, kScreenWidth * scale, kScreenHeight * scale);
        SDL_SetWindowPosition(g_sdl.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    present::Invalidate();
    ChoosePacing();
}

void Translate(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT:
            g_sdl.events.push_back(host::Event{host::EventKind::Close, 0});
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                g_sdl.events.push_back(host::Event{host::EventKind::Activate, 0});
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                ReleaseAllKeys();
                g_sdl.events.push_back(host::Event{host::EventKind::Deactivate, 0});
            } else if (e.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
                ChoosePacing();
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                present::Invalidate();
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            bool down = e.type == SDL_KEYDOWN;
            if (down && e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT) != 0) {
                if (e.key.repeat == 0) ToggleFullscreen();
                break;
            }
            int vk = VirtualKey(e.key.keysym.sym);
            if (vk == 0) break;
            g_sdl.keyboardHeld[vk] = down;
            SyncKeys();
            break;
        }
        case SDL_CONTROLLERDEVICEADDED:
            AddPad(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            RemovePad(e.cdevice.which);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (Pad* pad = FindPad(e.cbutton.which)) {
                uint32_t bit = 1u << e.cbutton.button;
                pad->buttons = e.type == SDL_CONTROLLERBUTTONDOWN ? pad->buttons | bit : pad->buttons & ~bit;
                SyncKeys();
            }
            break;
        case SDL_CONTROLLERAXISMOTION:
            if (Pad* pad = FindPad(e.caxis.which)) {
                if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) pad->stickX = StickDirection(pad->stickX, e.caxis.value);
                if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) pad->stickY = StickDirection(pad->stickY, e.caxis.value);
                SyncKeys();
            }
            break;
        default:
            break;
    }
}

}  // namespace

namespace host {

int DesktopWidth() {
    SDL_DisplayMode mode;
    return EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.w : kScreenWidth;
}

int DesktopHeight() {
    SDL_DisplayMode mode;
    return EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0 ? mode.h : kScreenHeight;
}

bool OpenDisplay(const char* title) {
    if (g_sdl.window != nullptr) return true;
    if (!EnsureVideo()) return false;
    // Made at the desktop's size, so that it covers the screen even where no
    // window manager honours the full-screen request.
    // Ready for OpenGL where there is any, so that SDL need not make the
    // window again (a new one to the window system) for an OpenGL renderer.
    g_sdl.fullscreen = true;
    for (Uint32 opengl : {Uint32{SDL_WINDOW_OPENGL}, Uint32{0}}) {
        const Uint32 flags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_RESIZABLE | opengl;
        g_sdl.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, host::DesktopWidth(),
                                        host::DesktopHeight(), flags);
        if (g_sdl.window != nullptr) break;
    }
    const char* wanted = std::getenv("KAWAUO_PRESENT");
    present::Path path = present::Path::kAuto;
    if (wanted != nullptr && SDL_strcmp(wanted, "renderer") == 0) path = present::Path::kRenderer;
    if (wanted != nullptr && SDL_strcmp(wanted, "surface") == 0) path = present::Path::kWindowSurface;
    g_sdl.presenting = g_sdl.window != nullptr && present::Open(g_sdl.window, path);
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
    g_sdl.frequency = SDL_GetPerformanceFrequency();
    g_sdl.period = g_sdl.frequency / 60;
    g_sdl.stats = std::getenv("KAWAUO_FRAME_STATS") != nullptr;
    ChoosePacing();
    return true;
}

void CloseDisplay() {
    for (Pad& pad : g_sdl.pads) SDL_GameControllerClose(pad.controller);
    g_sdl.pads.clear();
    if (g_sdl.presenting) present::Close();
    if (g_sdl.window != nullptr) SDL_DestroyWindow(g_sdl.window);
    g_sdl.presenting = false;
    g_sdl.window = nullptr;
}

void SetCursorVisible(bool visible) {
    g_sdl.cursorVisible = visible;
    if (g_sdl.window != nullptr) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool PollEvent(Event* event) {
    SDL_Event e;
    while (g_sdl.events.empty() && g_sdl.videoReady && SDL_PollEvent(&e)) Translate(e);
    if (g_sdl.events.empty()) return false;
    *event = g_sdl.events.front();
    g_sdl.events.pop_front();
    return true;
}

uint32_t Milliseconds() {
    auto elapsed = std::chrono::steady_clock::now() - g_start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

int64_t CalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

void Present(const uint8_t* pixels, const PALETTEENTRY palette[256]) {
    if (!g_sdl.presenting) return;
    present::Draw(pixels, palette);
    if (g_sdl.pacing == Pacing::kTimer) WaitForDeadline();
    present::Show();
    uint64_t now = Now();
    uint64_t interval = g_sdl.lastPresent != 0 ? now - g_sdl.lastPresent : 0;
    g_sdl.lastPresent = now;
    if (g_sdl.pacing == Pacing::kVsyncTrial) JudgeVsyncTrial(now);
    else if (g_sdl.pacing == Pacing::kVsync) WatchVsync(now, interval);
    NoteInterval(now, interval);
}

void ShowMessageBox(const char* caption, const char* text) {
    if (g_sdl.window == nullptr && !EnsureVideo()) return;  // already on standard error
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, g_sdl.window);
}

void DebugLine(const char*) {}

void NoteFlip(HRESULT) {}

}  // namespace host
