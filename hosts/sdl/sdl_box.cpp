// The game's message box on the SDL host: its picture (box_picture.h) in a
// window of its own over the game's, until Enter, Space, Escape, a click on
// OK or closing the window answers it, or a stop signal comes.
#include <cstdio>

#include "hosts/core/box_picture.h"
#include "hosts/sdl/sdl_internal.h"
#include "winapi/cp932.h"
#include "winapi/process.h"

namespace {

constexpr Uint32 kBoxPollMs = 10;

SDL_Surface* MakeSurface(core::box::Picture& picture) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(picture.pixels.data(), picture.width, picture.height, 8,
                                                              picture.width, SDL_PIXELFORMAT_INDEX8);
    if (surface == nullptr) return nullptr;
    SDL_Color colours[core::box::kColourCount];
    for (int i = 0; i < core::box::kColourCount; ++i) {
        const core::box::Rgb& c = core::box::kColours[static_cast<size_t>(i)];
        colours[i] = SDL_Color{c.r, c.g, c.b, 0xFF};
    }
    SDL_SetPaletteColors(surface->format->palette, colours, 0, core::box::kColourCount);
    return surface;
}

void Show(SDL_Window* window, SDL_Surface* picture) {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (target == nullptr) return;
    SDL_BlitSurface(picture, nullptr, target, nullptr);
    SDL_UpdateWindowSurface(window);
}

// The window an event is for; 0 for events of no window.
Uint32 WindowOf(const SDL_Event& e) {
    switch (e.type) {
        case SDL_WINDOWEVENT: return e.window.windowID;
        case SDL_KEYDOWN:
        case SDL_KEYUP: return e.key.windowID;
        case SDL_TEXTEDITING: return e.edit.windowID;
        case SDL_TEXTINPUT: return e.text.windowID;
        case SDL_MOUSEMOTION: return e.motion.windowID;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: return e.button.windowID;
        case SDL_MOUSEWHEEL: return e.wheel.windowID;
        default: return 0;
    }
}

bool Answers(const SDL_Event& e, const core::box::Rect& button) {
    if (e.type == SDL_KEYDOWN && e.key.repeat == 0) {
        const SDL_Keycode key = e.key.keysym.sym;
        return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE || key == SDLK_ESCAPE;
    }
    if (e.type == SDL_MOUSEBUTTONUP) return e.button.button == SDL_BUTTON_LEFT && button.Holds(e.button.x, e.button.y);
    return e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE;
}

}  // namespace

namespace sdl {

void ShowBox(SDL_Window* owner, const char* caption, const char* text) {
    core::box::Picture picture = core::box::Draw(winapi::Utf8ToCp932(caption), winapi::Utf8ToCp932(text));
    SDL_Window* window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, picture.width,
                                          picture.height, SDL_WINDOW_ALWAYS_ON_TOP);
    SDL_Surface* surface = window != nullptr ? MakeSurface(picture) : nullptr;
    if (surface == nullptr) {
        std::fprintf(stderr, "kawauo: cannot show the message box: %s\n", SDL_GetError());
        if (window != nullptr) SDL_DestroyWindow(window);
        return;
    }
    if (owner != nullptr) SDL_SetWindowModalFor(window, owner);
    SDL_RaiseWindow(window);
    Show(window, surface);
    const Uint32 id = SDL_GetWindowID(window);
    bool answered = false;
    while (!answered && winapi::process::StopSignal() == 0) {
        // Polled: SDL 2.26's wait can later wake a box window already gone
        // (an X error that ends the program).
        SDL_Event e;
        if (SDL_PollEvent(&e) == 0) {
            SDL_Delay(kBoxPollMs);
            continue;
        }
        // The game's window hears of its own events (focus, a close request)
        // when the box is gone.
        if (WindowOf(e) != id) {
            Translate(e);
        } else if (e.type == SDL_WINDOWEVENT && e.window.event != SDL_WINDOWEVENT_CLOSE) {
            Show(window, surface);
        } else {
            answered = Answers(e, picture.button);
        }
    }
    SDL_FreeSurface(surface);
    SDL_DestroyWindow(window);
}

}  // namespace sdl
