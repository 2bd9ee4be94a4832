// Frame driver, scenes, keys and the per-run state shared by the game.
#pragma once
#include <cstdint>

enum Scene : int32_t { kSceneTitle = 0, kSceneNewGame = 1, kScenePlay = 2, kSceneResult = 3 };

struct FishState {
    int32_t hp;
    int32_t strength;
    int32_t animFrame;
    int32_t distanceTick;
    int32_t animTick;
    int32_t moveTick;
    int32_t x;
    int32_t xStep;
    int32_t hitOffsetX;
    int32_t hitWidth;
    int32_t y;
    int32_t yStep;
    int32_t hitOffsetY;
    int32_t hitHeight;
    int32_t distance;
    int32_t mutationCount;
};

extern int32_t g_scene;
extern int32_t g_frameTick;
extern int32_t g_keyLatch;
extern FishState g_fish;
extern int32_t g_pollution;

void RunFrame();
int32_t SceneTitle();
int32_t SceneNewGame();
