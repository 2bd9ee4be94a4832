// The game's 33 pictures: file, size and what each is for, in the order the
// game registers them (also the order the registry restores them in). The
// loader, the picture generator and the tests all read this one table.
#pragma once
#include <cstdint>

enum class PictureRole : int32_t {
    River,          // back: the scrolling background, tiled across
    MutationFlash,  // back2: the screen at a mutation
    HitFlash,       // back3: the screen when something hits the fish
    Pause,          // push
    Bubbles,        // awa: seven 16x16 frames in a row
    Title,          // opn
    Fish,           // fish1, fish2: the two swim frames
    Wake,           // fisht: behind the fish while it plays
    Sokodikara,     // the three special moves, three phases each
    Tomogui,
    Fait,
    Mutation,  // henge0..8
    Drift,     // syougai: floating objects
};

struct PictureFile {
    const char* name;  // file name in bmp/
    int32_t width;
    int32_t height;
    PictureRole role;
    int32_t index;  // which one of its role: swim frame, phase, mutation or floating-object slot
};

constexpr int kPictureCount = 33;

// The floating-object slots do not follow the files' digits.
inline constexpr PictureFile kPictureFiles[kPictureCount] = {
    {"back.bmp", 640, 480, PictureRole::River, 0},
    {"back2.bmp", 640, 480, PictureRole::MutationFlash, 0},
    {"back3.bmp", 640, 480, PictureRole::HitFlash, 0},
    {"push.bmp", 640, 480, PictureRole::Pause, 0},
    {"awa.bmp", 112, 16, PictureRole::Bubbles, 0},
    {"opn.bmp", 640, 480, PictureRole::Title, 0},
    {"fish1.bmp", 170, 170, PictureRole::Fish, 0},
    {"fish2.bmp", 170, 170, PictureRole::Fish, 1},
    {"fisht.bmp", 170, 170, PictureRole::Wake, 0},
    {"sokodikara1.bmp", 170, 170, PictureRole::Sokodikara, 0},
    {"sokodikara2.bmp", 170, 170, PictureRole::Sokodikara, 1},
    {"sokodikara3.bmp", 170, 170, PictureRole::Sokodikara, 2},
    {"tomogui1.bmp", 170, 170, PictureRole::Tomogui, 0},
    {"tomogui2.bmp", 170, 170, PictureRole::Tomogui, 1},
    {"tomogui3.bmp", 170, 170, PictureRole::Tomogui, 2},
    {"fait1.bmp", 170, 170, PictureRole::Fait, 0},
    {"fait2.bmp", 170, 170, PictureRole::Fait, 1},
    {"fait3.bmp", 170, 170, PictureRole::Fait, 2},
    {"henge0.bmp", 170, 170, PictureRole::Mutation, 0},
    {"henge1.bmp", 170, 170, PictureRole::Mutation, 1},
    {"henge2.bmp", 170, 170, PictureRole::Mutation, 2},
    {"henge3.bmp", 170, 170, PictureRole::Mutation, 3},
    {"henge4.bmp", 170, 170, PictureRole::Mutation, 4},
    {"henge5.bmp", 170, 170, PictureRole::Mutation, 5},
    {"henge6.bmp", 170, 170, PictureRole::Mutation, 6},
    {"henge7.bmp", 170, 170, PictureRole::Mutation, 7},
    {"henge8.bmp", 170, 170, PictureRole::Mutation, 8},
    {"syougai1.bmp", 38, 38, PictureRole::Drift, 0},
    {"syougai0.bmp", 60, 60, PictureRole::Drift, 1},
    {"syougai2.bmp", 113, 113, PictureRole::Drift, 2},
    {"syougai4.bmp", 113, 113, PictureRole::Drift, 3},
    {"syougai5.bmp", 113, 113, PictureRole::Drift, 4},
    {"syougai3.bmp", 113, 113, PictureRole::Drift, 5},
};
