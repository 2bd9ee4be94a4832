// Short notes to the player, shown without covering the game's picture (on
// the desktops in the window's title and the black bars, on the page in its
// status line), one after another for a few seconds each: where F12's
// picture went, a settings line skipped, settings that could not be saved.
// What they say is said on standard error too, by whoever posts them.
#pragma once
#include <cstdint>
#include <string>

namespace core::notes {

constexpr uint32_t kShownMs = 4000;  // each note's time on screen
constexpr size_t kMostWaiting = 8;   // past them, one note counts the rest

// Queues `text` (UTF-8, one line) behind the notes waiting; past
// kMostWaiting, it is only counted. From any thread (the core's writer
// tells how a save went).
void Post(const std::string& text);

// Every frame, on the game's thread, with a steady clock: when the note shown
// has had its time (or none is shown and one waits), `show` gets the next
// one, or "" when none is left. Returns whether it called `show`.
bool Tick(uint32_t nowMs, void (*show)(const char* text));

// From now on every line told to the player (winapi::Tell) is a note too,
// without the program's name, which the window already shows.
void NoteWhatIsTold();

// The notes still waiting, one a line, taken away: what a program ending
// before it could show them has to tell another way (a box).
std::string TakeWaiting();

// Forgets every note, as at the start (tests, a new game on the page).
void Forget();

}  // namespace core::notes
