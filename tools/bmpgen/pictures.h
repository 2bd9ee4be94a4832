// The game's pictures, each drawn by one function of the generator, and the
// fish's measurements that the overlays and moves are drawn against.
#pragma once
#include <string>
#include <vector>

#include "tools/bmpgen/art.h"
#include "winapi/texts.h"

namespace pictures {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;
constexpr int kSprite = 170;

// Where the fish lies in its 170x170 square (facing right). Both swim frames
// agree from kFishStill rightwards; only the tail end moves.
constexpr int kFishTail = 8;   // tip of the tail fin
constexpr int kFishBase = 44;  // root of the tail fin
constexpr int kFishSnout = 158;
constexpr int kFishMidY = 86;  // centre line
constexpr int kFishStill = 74;
constexpr int kFishEyeX = 143;
constexpr int kFishEyeY = 79;
// Upper and lower half-heights of the body at column x (0 outside it).
int FishTop(int x);
int FishBottom(int x);

// river.cpp
art::Canvas River();          // back: the scrolling river, tiles horizontally
art::Canvas MutationFlash();  // back2
art::Canvas HitFlash();       // back3

// fish.cpp
art::Canvas Fish(int frame);  // fish1, fish2
art::Canvas Wake();           // fisht
art::Canvas Mutation(int i);  // henge0..8

// moves.cpp
art::Canvas HiddenStrength(int phase);  // sokodikara1..3 (phase 0..2), under the fish
art::Canvas Eating(int phase);          // tomogui1..3, over the fish
art::Canvas FightingSpirit(int phase);  // fait1..3, over the fish

// objects.cpp
art::Canvas Drift(int slot);  // syougai0..5 by the game's floating-object slot
art::Canvas Bubbles();        // awa: seven 16x16 frames in a row

// title.cpp: lettered, in each language
art::Canvas Title(winapi::texts::Language language);  // opn
art::Canvas Pause(winapi::texts::Language language);  // push

struct Picture {
    std::string name;  // file name without folder, e.g. "fish1.bmp"
    art::Canvas canvas;
    bool keyed;
    std::vector<uint8_t> indices;  // after quantizing
};

// sheet.cpp: a labelled overview of every picture, the desktop icon at
// size x size pixels, and the icon a launcher may cut to its own shape (a
// web app's "maskable" one): opaque, the fish inside its safe circle.
bool WriteContactSheet(const std::string& path, const std::vector<Picture>& all);
bool WriteIcon(const std::string& path, const Picture& fish, int size);
bool WriteMaskableIcon(const std::string& path, const Picture& fish, int size);

// icon_file.cpp: the icon PNG files at `path`, each `size` pixels square,
// in one Windows .ico (PNG-compressed images, as Windows 10 and 11 read them).
struct SizedPng {
    std::string path;
    int size;
};
bool WriteIconFile(const std::string& path, const std::vector<SizedPng>& icons);

}  // namespace pictures
