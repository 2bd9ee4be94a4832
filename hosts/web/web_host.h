// What the web entry tells the browser's host before the game starts.
#pragma once
#include <string>

namespace webhost {

// A script runs on its own clock: frames follow each other as fast as they
// are made (the page has its turn every few tens of milliseconds, between
// frames or between events), no pads are read, and each picture shown is
// kept for ShootLastFrame.
void RunUnpaced();
// Hands the picture last shown to the page as `name`; false (with why) before any.
bool ShootLastFrame(const std::string& name, std::string* why);

}  // namespace webhost

// The run so far as a recording (a kawauo-sim script), for the page to offer
// as a download: valid until the game's next frame (web_main.cpp).
extern "C" const char* kawauo_recording();
