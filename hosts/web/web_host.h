// What the web entry tells the browser's host before the game starts.
#pragma once
#include <string>

#include "player/options.h"

namespace web {

// A script runs on its own clock: frames follow each other as fast as they
// are made (the page has its turn every few tens of milliseconds, between
// frames or between events), no pads are read, and each picture shown is
// kept for ShootLastFrame.
void RunUnpaced();
// The query's options over the settings the page keeps (web_remembered.cpp),
// before WinMain: a player's run reads the settings and saves the menu's
// changes; a script runs, as kawauo-sim does, with the query's alone.
void UseChoices(const player::options::Options& chosen, bool playersRun);
// Hands the picture last shown to the page as `name`; false (with why) before any.
bool ShootLastFrame(const std::string& name, std::string* why);
// How the page scales the picture to its room; kFit until told.
void UseScaleMode(player::options::ScaleMode mode);

}  // namespace web

// The menu's change of setting `name` to `value`, read as the settings
// file's line would be: true when it is saved (web_remembered.cpp).
extern "C" bool kawauo_choose(const char* name, const char* value);

// The run so far as a recording (a kawauo-sim script), for the page to offer
// as a download: valid until the game's next frame (web_main.cpp).
extern "C" const char* kawauo_recording();
// The run so far as its link, for the page's "Share this run": valid until
// the next call; empty when it cannot be made (why said on standard error)
// (web_link.cpp).
extern "C" const char* kawauo_link();
// The game's version, which every run it replays was made by (a run of
// another is refused), for the page's header.
extern "C" const char* kawauo_version();
// What the game shows now, as sim::Showing numbers it, for the page's header.
extern "C" int kawauo_showing();
