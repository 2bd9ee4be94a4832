// The scrolling river background and the twenty bubbles.
#include "game/river.h"

#include "display/device.h"
#include "display/surface.h"
#include "game/assets.h"
#include "game/frame.h"

BubbleSprite g_bubbles[kBubbleCount];
int32_t g_scrollX;

namespace {

constexpr int32_t kBubbleSize = 16;
constexpr int32_t kRestingFrame = 6;
constexpr uint32_t kAnimationLength = 700;

void DrawBubbleFrame(const BubbleSprite& bubble, int32_t frame) {
    BltKeyed(g_back, bubble.x, bubble.y, kBubbleSize, kBubbleSize, g_picAwa, kBubbleSize * frame, 0, kBubbleSize,
             kBubbleSize);
}

// Frame of an animation `elapsed` ms old; step 7 is shown as frame 6.
int32_t AnimationFrame(int32_t direction, uint32_t elapsed) {
    const int32_t step = static_cast<int32_t>(elapsed / 100);
    const int32_t frame = direction == 1 ? 7 - step : step;
    return frame > kRestingFrame ? kRestingFrame : frame;
}

}  // namespace

// Screen column c shows picture column (c + s) mod 640. At s = 0 the second
// blit is 0 wide and draws nothing; it is kept on purpose.
void ScrollBackground() {
    const int32_t s = g_scrollX;
    const int32_t w = kScreenWidth - s;
    if (w == 0) {
        BltStretch(g_back, 0, 0, kScreenWidth, kScreenHeight, g_picBack, 0, 0, kScreenWidth, kScreenHeight);
    } else {
        BltStretch(g_back, 0, 0, w, kScreenHeight, g_picBack, s, 0, w, kScreenHeight);
        BltStretch(g_back, w, 0, s, kScreenHeight, g_picBack, 0, 0, s, kScreenHeight);
    }
    g_scrollX = g_scrollX % kScreenWidth + 1;
}

// Each bubble waits its own delay, then animates for 700 ms over its resting
// frame, then turns its direction and waits again. Differences are unsigned,
// so the timing survives the tick wrapping.
void DrawBubbles() {
    const uint32_t now = static_cast<uint32_t>(g_frameTick);
    for (int32_t i = 0; i < kBubbleCount; ++i) {
        BubbleSprite& bubble = g_bubbles[i];
        const uint32_t delay = static_cast<uint32_t>((i * 200) % 2000);
        DrawBubbleFrame(bubble, kRestingFrame);
        if (bubble.waitPending == 1) {
            bubble.waitStart = now;
            bubble.waitPending = 0;
        }
        bubble.lastSeen = now;
        if (bubble.lastSeen - bubble.waitStart <= delay) continue;
        if (bubble.animPending == 1) {
            bubble.animStart = now;
            bubble.animPending = 0;
        }
        bubble.animNow = now;
        const uint32_t elapsed = bubble.animNow - bubble.animStart;
        if (elapsed > kAnimationLength) {
            bubble.direction = bubble.direction == 0 ? 1 : 0;
            bubble.animPending = 1;
            bubble.waitPending = 1;
            continue;
        }
        DrawBubbleFrame(bubble, AnimationFrame(bubble.direction, elapsed));
    }
}
