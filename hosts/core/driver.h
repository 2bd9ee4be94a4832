// The table a driver fills: the least a system must do to show the game and
// hear its player. The core implements winapi/host.h once over it, and owns
// every rule the player notices (key binding, pads, Alt+Enter, F12, pause,
// settings, letterboxing); a driver only reaches the system.
//
// Rules for every driver:
//   - Every entry is called on the game's one thread, and only `present`,
//     `wait`, `showBox` and `font` may wait. `present`, `pump` and `nanoseconds` run
//     every frame: they may not allocate, print or touch files there.
//   - A driver tells the core what its system said through core::Hear, at
//     any time on that thread (from `pump`, `wait`, a window procedure, a box's
//     loop): keys by their names as the settings file writes them, pads by
//     role, the focus, a window resized by the player, a request to close.
//   - Types of the system's own library stay in the driver's files.
//   - Failures are reported through the return values given; a driver never
//     exits the program or throws.
#pragma once
#include <cstdint>
#include <string>

#include "hosts/core/hear.h"
#include "player/options.h"
#include "winapi/ddraw.h"
#include "winapi/host.h"

namespace core {

// The window as the player wants it when it opens: full screen or a window
// of the size they left it (0 by 0: the driver's own choice), and how the
// picture fills it.
struct WindowWish {
    bool fullscreen = true;
    int width = 0;
    int height = 0;
    player::options::ScaleMode scale = player::options::ScaleMode::kFit;
};

struct Driver {
    // The desktop's size in pixels; a driver without one answers 640x480.
    void (*desktopSize)(int* width, int* height) = nullptr;
    // Makes the window or canvas for 640x480 pictures; false when no
    // display can be had. Called once, by DirectDrawCreate.
    bool (*open)(const WindowWish& wish) = nullptr;
    // Undoes open; message boxes may still follow.
    void (*close)() = nullptr;
    // Shows the picture of palette indices (rows top-down, pitch 640) through
    // the palette, letterboxed by core::PictureAreaIn (core/argb.h converts),
    // then waits for the frame's time at 60 Hz. Both buffers are the caller's.
    void (*present)(const uint8_t* pixels, const PALETTEENTRY palette[256]) = nullptr;
    // Hands every event waiting in the system to core::Hear; never waits.
    void (*pump)() = nullptr;
    // Shows a box with one OK button (UTF-8 texts) and returns when it is
    // answered, or at once when a stop signal has come (winapi/process.h).
    void (*showBox)(const char* caption, const char* text) = nullptr;
    // The baked font's tables (winapi/host.h's Font, asked once): the copy
    // built into the program, winapi::baked::BuiltIn, for a driver linked
    // with kawauo_baked_font; a browser's fetched beside the program, waited
    // for when the game wants it first.
    winapi::host::FontTables (*font)() = nullptr;

    // The rest may be null: nothing is done, or the core's own answer holds.
    void (*setCursor)(bool visible) = nullptr;
    void (*setFullscreen)(bool fullscreen) = nullptr;  // Alt+Enter
    // Waits at most `ms` for the system's next event, heard as pump hears
    // them: the game is paused out of focus. Null: the game runs on.
    void (*wait)(uint32_t ms) = nullptr;
    // Whether the keyboard has a key by this name (the settings file's key
    // lines are refused for any other). Null: none can be bound.
    bool (*keyKnown)(const std::string& name) = nullptr;
    // A steady clock in nanoseconds. Null: the system's steady clock.
    uint64_t (*nanoseconds)() = nullptr;
    // Seconds since the epoch, read once to seed the game. Null: time().
    int64_t (*calendarSeconds)() = nullptr;
    void (*debugLine)(const char* text) = nullptr;  // UTF-8, for a debugger's eyes
    // The end of every frame, after any present (winapi::host::NoteFlip).
    void (*frameEnd)(HRESULT result) = nullptr;
    // How frames are paced now, for the frame statistics.
    const char* (*pacing)() = nullptr;
    // Shows a short note (UTF-8, one line) where the player sees it without
    // the picture being covered, in place of the last (the window's title,
    // the page's status line); "" takes it away. Called from frames only.
    void (*showNote)(const char* text) = nullptr;
    // Whether the player cannot read standard error (a program started from
    // Explorer, without a console): what stops the game before they saw it
    // is shown in a box as well.
    bool (*errorsUnseen)() = nullptr;
    // Puts UTF-8 text on the system's clipboard (Ctrl+C's run link on the
    // result screen, core/link_copy.h); false when the system refused it.
    bool (*copyText)(const char* text) = nullptr;
    // What F12 does: core::TakeScreenshot on a desktop (core/shown.h).
    void (*screenshot)() = nullptr;
    // Files (screenshots, settings) are written on a thread of the core's,
    // so that no frame waits for a disk; false where there are no threads.
    bool threads = false;
};

// The driver linked into the program: each driver defines it.
const Driver& TheDriver();

}  // namespace core
