// The soak run's check of each frame's draw log: the river, the scene's own
// pictures where the game puts them, texts, the bubbles, then the flip.
#include <cinttypes>
#include <cstdio>
#include <utility>

#include "display/device.h"
#include "game/assets.h"
#include "game/fish.h"
#include "tests/soak/soak_checks.h"
#include "winapi/surface_access.h"

namespace soak {
namespace {

constexpr int32_t kFishSize = 170;
constexpr int32_t kBubbleSize = 16;
constexpr int32_t kResultFishX = 235;
constexpr int32_t kResultFishY = 155;
constexpr COLORREF kColours[] = {0x00FFFFFF, 0x0000FFFF, 0x00FFFF00, 0x00FF00FF};
constexpr COLORREF kMagenta = 0x00FF00FF;

// What a draw log note's source is, by the game's picture holders.
enum class Kind { kUnknown, kBack, kBack2, kBack3, kPush, kAwa, kOpn, kFish1, kFish2, kFishT, kMove, kHenge, kSyougai };

struct Source {
    Kind kind;
    int32_t a;  // move index, mutation or slot
    int32_t b;  // move phase
};

Source Classify(const IDirectDrawSurface* s) {
    const std::pair<IDirectDrawSurface*, Kind> singles[] = {
        {g_picBack, Kind::kBack},   {g_picBack2, Kind::kBack2}, {g_picBack3, Kind::kBack3},
        {g_picPush, Kind::kPush},   {g_picAwa, Kind::kAwa},     {g_picOpn, Kind::kOpn},
        {g_picFish1, Kind::kFish1}, {g_picFish2, Kind::kFish2}, {g_picFishT, Kind::kFishT},
    };
    for (const auto& [picture, kind] : singles)
        if (s == picture) return {kind, 0, 0};
    for (int32_t m = 0; m < kMoveCount; ++m)
        for (int32_t p = 0; p < 3; ++p)
            if (s == g_picMove[m][p]) return {Kind::kMove, m, p};
    for (int32_t i = 0; i < kMutationCount; ++i)
        if (s == g_picHenge[i]) return {Kind::kHenge, i, 0};
    for (int32_t i = 0; i < kDriftSlots; ++i)
        if (s == g_picSyougai[i]) return {Kind::kSyougai, i, 0};
    return {Kind::kUnknown, 0, 0};
}

bool SameRect(const RECT& r, LONG left, LONG top, LONG width, LONG height) {
    return r.left == left && r.top == top && r.right == left + width && r.bottom == top + height;
}

bool Inside(const RECT& r, LONG width, LONG height) {
    return 0 <= r.left && r.left <= r.right && r.right <= width && 0 <= r.top && r.top <= r.bottom &&
           r.bottom <= height;
}

// What the scene step drew, counted by kind.
struct SceneDraws {
    int count[13] = {};
    int moveBlits[kMoveCount] = {};
    int movePhase[kMoveCount] = {};
    int henge[kMutationCount] = {};
    int syougaiSlot = -1;
    int syougai = 0;
    int& operator[](Kind k) { return count[static_cast<int>(k)]; }
};

// One scene blit: the picture's own rectangle, at the place the game keeps
// for it.
void CheckSceneBlit(const Context& c, const winapi::BltNote& n, const Source& src, const GameView& b, const GameView& a,
                    SceneDraws* d) {
    (*d)[src.kind] += 1;
    const int32_t fishX = b.scene == kSceneResult ? kResultFishX : a.fish.x;
    const int32_t fishY = b.scene == kSceneResult ? kResultFishY : a.fish.y;
    bool placed = true;
    switch (src.kind) {
        case Kind::kBack2:
        case Kind::kBack3:
        case Kind::kOpn:
        case Kind::kPush:
            placed = SameRect(n.destRect, 0, 0, kScreenWidth, kScreenHeight) &&
                     SameRect(n.srcRect, 0, 0, kScreenWidth, kScreenHeight);
            break;
        case Kind::kFish1:
        case Kind::kFish2:
        case Kind::kFishT:
        case Kind::kMove:
        case Kind::kHenge:
            placed = SameRect(n.destRect, fishX, fishY, kFishSize, kFishSize) &&
                     SameRect(n.srcRect, 0, 0, kFishSize, kFishSize);
            if (src.kind == Kind::kMove) {
                d->moveBlits[src.a] += 1;
                d->movePhase[src.a] = src.b;
            }
            if (src.kind == Kind::kHenge) d->henge[src.a] += 1;
            break;
        case Kind::kSyougai: {
            const DriftObject& o = a.drift[src.a];
            placed = SameRect(n.destRect, o.x, o.y, o.size, o.size) && SameRect(n.srcRect, 0, 0, o.size, o.size) &&
                     o.x >= -o.size && o.x <= kScreenWidth - o.size && o.y >= 0 && o.y < kScreenHeight - o.size;
            d->syougaiSlot = src.a;
            d->syougai += 1;
            break;
        }
        default: Fail(c, Say("scene %d blitted a picture of kind %d", b.scene, static_cast<int>(src.kind)));
    }
    if (!placed)
        Fail(c, Say("blit of kind %d to (%ld,%ld)-(%ld,%ld) from (%ld,%ld)-(%ld,%ld) is not where the game puts it",
                    static_cast<int>(src.kind), static_cast<long>(n.destRect.left), static_cast<long>(n.destRect.top),
                    static_cast<long>(n.destRect.right), static_cast<long>(n.destRect.bottom),
                    static_cast<long>(n.srcRect.left), static_cast<long>(n.srcRect.top),
                    static_cast<long>(n.srcRect.right), static_cast<long>(n.srcRect.bottom)));
}

// Which scene pictures each kind of frame must show, and how often.
void CheckSceneCounts(const Context& c, const GameView& b, const GameView& a, SceneDraws& d, Tally* t) {
    int expected[13] = {};
    auto want = [&](Kind k, int n) { expected[static_cast<int>(k)] = n; };
    const bool running = b.scene == kScenePlay && b.paused == 0;
    if (b.scene == kSceneTitle) want(Kind::kOpn, 1);
    if (b.scene == kScenePlay && b.paused == 1) want(Kind::kPush, 1);
    if (running || b.scene == kSceneResult) {
        const bool first = a.fish.animFrame == 1;
        want(Kind::kFish1, first ? 1 : 0);
        want(Kind::kFish2, first ? 0 : 1);
        want(Kind::kFishT, first && running ? 1 : 0);
        int gained = 0;
        for (int i = 0; i < kMutationCount; ++i) {
            gained += a.mutation[i];
            if (d.henge[i] != a.mutation[i]) Fail(c, Say("mutation %d drawn %d times", i, d.henge[i]));
        }
        want(Kind::kHenge, gained);
    }
    if (running) {
        want(Kind::kBack2, a.fish.mutationCount > b.fish.mutationCount ? 1 : 0);
        want(Kind::kBack3, d[Kind::kBack3] > 0 ? 1 : 0);
        int moves = 0;
        for (int i = 0; i < kMoveCount; ++i) {
            const bool started = b.moves[i].active == 0 && a.moves[i].active == 1;
            const int32_t phase = started ? 0 : b.moves[i].phase;
            const bool drawn = (started || b.moves[i].active == 1) && phase >= 0 && phase < 3;
            if (d.moveBlits[i] != (drawn ? 1 : 0) || (drawn && d.movePhase[i] != phase))
                Fail(c,
                     Say("move %d in phase %d drawn %d times (picture %d)", i, phase, d.moveBlits[i], d.movePhase[i]));
            moves += drawn ? 1 : 0;
        }
        want(Kind::kMove, moves);
        const int32_t was = ActiveSlot(b);
        const int32_t is = ActiveSlot(a);
        if (d.syougai > 1 || (was >= 0 && d.syougaiSlot != was) || (is >= 0 && d.syougaiSlot != is))
            Fail(c, Say("object in slot %d/%d drawn %d times (slot %d)", was, is, d.syougai, d.syougaiSlot));
        want(Kind::kSyougai, d.syougai);
        if (d[Kind::kBack3] == 1) {
            if (d.syougai != 1 || is >= 0) Fail(c, "the screen flashed for a hit with no object taken away");
            ++t->objectHits;
        }
    }
    for (int k = 1; k < 13; ++k)
        if (k != static_cast<int>(Kind::kBack) && k != static_cast<int>(Kind::kAwa) && d.count[k] != expected[k])
            Fail(c, Say("scene %d (paused %d) drew picture kind %d %d times, expected %d", b.scene, b.paused, k,
                        d.count[k], expected[k]));
}

}  // namespace

void CheckDraws(const Context& c, const GameView& b, const GameView& a, const std::vector<winapi::DrawNote>& draws,
                bool lost, Tally* t) {
    if (draws.empty() || draws.back().kind != winapi::DrawNote::kFlip)
        Fail(c, "the frame's draw log does not end with its flip");
    const size_t end = draws.size() - 1;
    const int32_t s = b.scrollX;
    const int32_t w = kScreenWidth - s;
    size_t i = 0;
    auto riverBlit = [&](LONG destLeft, LONG srcLeft, LONG width) {
        if (i >= end || draws[i].kind != winapi::DrawNote::kBlt) Fail(c, "the frame does not start with the river");
        const winapi::BltNote& n = draws[i++].blt;
        if (n.dest != g_back || n.src != g_picBack || n.keyed ||
            !SameRect(n.destRect, destLeft, 0, width, kScreenHeight) ||
            !SameRect(n.srcRect, srcLeft, 0, width, kScreenHeight))
            Fail(c, Say("river blit from column %ld width %ld to %ld is wrong for position %d",
                        static_cast<long>(n.srcRect.left), static_cast<long>(n.srcRect.right - n.srcRect.left),
                        static_cast<long>(n.destRect.left), s));
    };
    if (w == 0) {
        riverBlit(0, 0, kScreenWidth);
    } else {
        riverBlit(0, s, w);
        riverBlit(w, 0, s);
    }
    SceneDraws scene;
    int texts = 0;
    bool hud[4] = {};
    for (; i < end; ++i) {
        const winapi::DrawNote& note = draws[i];
        if (note.kind == winapi::DrawNote::kText) {
            const winapi::TextNote& text = note.text;
            bool known = false;
            for (COLORREF colour : kColours) known = known || colour == text.colour;
            const bool onScreen = 0 <= text.x && text.x < kScreenWidth && 0 <= text.y && text.y < kScreenHeight;
            if (!known || text.text.empty() || (text.colour != kMagenta && !onScreen))
                Fail(c, Say("text \"%s\" at (%d, %d) in colour %06" PRIx32 " is not one of the game's",
                            text.text.c_str(), text.x, text.y, static_cast<uint32_t>(text.colour)));
            if (text.colour != kMagenta && text.x == 0 && text.y % 20 == 0 && text.y <= 60) hud[text.y / 20] = true;
            ++texts;
            continue;
        }
        if (note.kind != winapi::DrawNote::kBlt) Fail(c, "a flip in the middle of a frame");
        const winapi::BltNote& n = note.blt;
        const Source src = Classify(n.src);
        if (src.kind == Kind::kAwa) break;
        if (n.dest != g_back) Fail(c, "a blit to a surface other than the back buffer");
        if (src.kind == Kind::kUnknown || src.kind == Kind::kBack)
            Fail(c, "a scene blit from the river or from a picture the game does not own");
        const bool keyed = src.kind != Kind::kBack2 && src.kind != Kind::kBack3;
        if (n.keyed != keyed) Fail(c, Say("picture kind %d blitted with key %d", static_cast<int>(src.kind), n.keyed));
        if (!Inside(n.srcRect, SurfaceAccess::Width(n.src), SurfaceAccess::Height(n.src)))
            Fail(c, Say("source rectangle outside picture kind %d", static_cast<int>(src.kind)));
        if (src.kind != Kind::kSyougai && !Inside(n.destRect, kScreenWidth, kScreenHeight))
            Fail(c, Say("picture kind %d drawn past the back buffer", static_cast<int>(src.kind)));
        CheckSceneBlit(c, n, src, b, a, &scene);
        ++t->blitsChecked;
    }
    CheckSceneCounts(c, b, a, scene, t);
    if (!lost && b.scene == kScenePlay && b.paused == 0 && !(hud[0] && hud[1] && hud[2] && hud[3]))
        Fail(c, "a running play frame without its four HUD lines");
    if (!lost && b.scene == kSceneResult && texts != 6) Fail(c, Say("the result screen drew %d texts, not 6", texts));
    t->textsChecked += static_cast<uint64_t>(texts);

    // The bubbles, in order: each at rest, then perhaps one frame of its
    // animation, at its own place.
    for (int k = 0; k < kBubbleCount; ++k) {
        const BubbleSprite& bubble = a.bubbles[k];
        for (int pass = 0; pass < 2 && i < end; ++pass) {
            const winapi::BltNote& n = draws[i].blt;
            if (draws[i].kind != winapi::DrawNote::kBlt || Classify(n.src).kind != Kind::kAwa)
                Fail(c, "something drawn after the bubbles");
            const LONG frame = n.srcRect.left / kBubbleSize;
            // Two bubbles at one place: a resting frame there after the first
            // is the next bubble's.
            const bool nextHere =
                k + 1 < kBubbleCount && a.bubbles[k + 1].x == bubble.x && a.bubbles[k + 1].y == bubble.y && frame == 6;
            if (!SameRect(n.destRect, bubble.x, bubble.y, kBubbleSize, kBubbleSize) || (pass == 1 && nextHere)) {
                if (pass == 0) Fail(c, Say("bubble %d drawn away from its place", k));
                break;
            }
            if (!n.keyed || !SameRect(n.srcRect, frame * kBubbleSize, 0, kBubbleSize, kBubbleSize) || frame < 0 ||
                frame > 6 || (pass == 0 && frame != 6))
                Fail(c, Say("bubble %d pass %d from picture column %ld", k, pass, static_cast<long>(n.srcRect.left)));
            ++i;
            ++t->blitsChecked;
        }
    }
    if (i != end) Fail(c, Say("%zu notes after the twentieth bubble", end - i));
}

}  // namespace soak
