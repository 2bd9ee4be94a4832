// The scrolling river background and the twenty bubbles.
#pragma once
#include <cstdint>

struct BubbleSprite {
    int32_t x;
    int32_t y;
    int32_t waitPending;
    int32_t animPending;
    int32_t direction;
    uint32_t waitStart;
    uint32_t lastSeen;
    uint32_t animStart;
    uint32_t animNow;
};

constexpr int kBubbleCount = 20;
extern BubbleSprite g_bubbles[kBubbleCount];
extern int32_t g_scrollX;

void ScrollBackground();
void DrawBubbles();
