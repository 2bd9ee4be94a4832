// The invariants checked after every frame of the soak run.
#include "tests/soak/soak_checks.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "display/device.h"
#include "game/assets.h"
#include "game/fish.h"
#include "game/play.h"
#include "game/thought.h"
#include "platform/platform_internal.h"

namespace soak {
namespace {

constexpr int32_t kMaxFishX = 235;
constexpr int32_t kMaxFishY = 310;
constexpr int32_t kFishSize = 170;
constexpr int32_t kBubbleSize = 16;
constexpr int32_t kResultFishX = 235;
constexpr int32_t kResultFishY = 155;
constexpr COLORREF kColours[] = {0x00FFFFFF, 0x0000FFFF, 0x00FFFF00, 0x00FF00FF};
constexpr COLORREF kMagenta = 0x00FF00FF;

// Formats a failure message.
template <typename... Args>
std::string Say(const char* format, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

int32_t Since(int32_t now, int32_t tick) { return Wrap32(int64_t{now} - tick); }

bool IsFlag(int32_t value) { return value == 0 || value == 1; }

// Flags and ranges that hold after any frame.
void CheckAlways(const Context& c, const GameView& g, bool gameStarted) {
    if (g.scene < 0 || g.scene > 3) Fail(c, Say("scene %d is not 0..3", g.scene));
    const int32_t flags[] = {g.keyLatch, g.paused, g.pauseLatch, g.objectInFlight};
    for (int32_t flag : flags)
        if (!IsFlag(flag)) Fail(c, Say("a latch or flag holds %d, not 0 or 1", flag));
    int32_t inFlight = 0;
    for (int i = 0; i < kDriftSlots; ++i) {
        if (!IsFlag(g.objectActive[i])) Fail(c, Say("g_objectActive[%d] = %d", i, g.objectActive[i]));
        inFlight += g.objectActive[i];
    }
    if (inFlight > 1) Fail(c, Say("%d floating objects in flight at once", inFlight));
    if (g.objectInFlight != inFlight)
        Fail(c, Say("g_objectInFlight = %d but %d slot flags set", g.objectInFlight, inFlight));
    int32_t gained = 0;
    for (int i = 0; i < kMutationCount; ++i) {
        if (!IsFlag(g.mutation[i])) Fail(c, Say("g_mutation[%d] = %d", i, g.mutation[i]));
        gained += g.mutation[i];
    }
    if (g.fish.mutationCount != gained)
        Fail(c, Say("mutationCount %d but %d mutation flags set", g.fish.mutationCount, gained));
    for (int i = 0; i < kMoveCount; ++i) {
        const SpecialMove& m = g.moves[i];
        if (!IsFlag(m.keyLatch) || !IsFlag(m.active)) Fail(c, Say("move %d latch %d active %d", i, m.keyLatch, m.active));
        if (m.active == 1 && (m.phase < 0 || m.phase > 3)) Fail(c, Say("active move %d in phase %d", i, m.phase));
    }
    if (g.fish.x < 0 || g.fish.x > kMaxFishX || g.fish.y < 0 || g.fish.y > kMaxFishY)
        Fail(c, Say("fish at (%d, %d), outside 0..235 x 0..310", g.fish.x, g.fish.y));
    if (g.thought < 0 || g.thought > 9) Fail(c, Say("thought line %d is not 0..9", g.thought));
    if (g.scrollX < 1 || g.scrollX > kScreenWidth) Fail(c, Say("river position %d is not 1..640", g.scrollX));
    for (int i = 0; i < kBubbleCount; ++i) {
        const BubbleSprite& b = g.bubbles[i];
        if (b.x < 0 || b.x > kScreenWidth - kBubbleSize || b.y < 0 || b.y > kScreenHeight - kBubbleSize)
            Fail(c, Say("bubble %d at (%d, %d), outside 0..623 x 0..463", i, b.x, b.y));
        if (!IsFlag(b.waitPending) || !IsFlag(b.animPending) || !IsFlag(b.direction))
            Fail(c, Say("bubble %d flags %d %d %d", i, b.waitPending, b.animPending, b.direction));
    }
    if (!gameStarted) return;
    const FishState& f = g.fish;
    if (f.xStep != 10 || f.yStep != 10 || f.hitOffsetX != 0 || f.hitOffsetY != 0 || f.hitWidth != 170 ||
        f.hitHeight != 170)
        Fail(c, Say("fixed fish fields changed: steps %d %d, hit box %d %d %d %d", f.xStep, f.yStep, f.hitOffsetX,
                    f.hitOffsetY, f.hitWidth, f.hitHeight));
    if (f.animFrame != 1 && f.animFrame != 2) Fail(c, Say("swim frame %d", f.animFrame));
}

bool AnyMoveActive(const GameView& g) {
    for (const SpecialMove& m : g.moves)
        if (m.active == 1) return true;
    return false;
}

int32_t ActiveSlot(const GameView& g) {
    for (int i = 0; i < kDriftSlots; ++i)
        if (g.objectActive[i] == 1) return i;
    return -1;
}

// The value range each slot's objects carry.
bool ValueFitsSlot(int32_t slot, int32_t value) {
    static constexpr int32_t kLow[kDriftSlots] = {501, 1, -499, -999, -1499, -2000};
    static constexpr int32_t kHigh[kDriftSlots] = {999, 500, 0, -500, -1000, -1500};
    return kLow[slot] <= value && value <= kHigh[slot];
}

// A running play frame: timers, moves and floating objects.
void CheckRunning(const Context& c, const GameView& b, const GameView& a, Tally* t) {
    const int32_t now = a.frameTick;
    struct TimerBound {
        const char* name;
        int32_t tick;
        int32_t most;  // inclusive
    };
    const TimerBound timers[] = {
        {"movement", a.fish.moveTick, 29},     {"distance", a.fish.distanceTick, 100},
        {"pollution", a.pollutionTick, 1000},  {"drain", a.drainTick, 500},
        {"thought", a.thoughtTick, 4999},      {"swim", a.fish.animTick, 100},
    };
    for (const TimerBound& timer : timers) {
        const int32_t since = Since(now, timer.tick);
        if (since < 0 || since > timer.most)
            Fail(c, Say("%s timer is %d ms behind after a running frame (allowed 0..%d)", timer.name, since,
                        timer.most));
    }
    const int32_t stepped = a.fish.distance - b.fish.distance;
    if (stepped != 0 && stepped != 1) Fail(c, Say("distance moved by %d in one frame", stepped));
    for (int i = 0; i < kMutationCount; ++i)
        if (b.mutation[i] == 1 && a.mutation[i] == 0) Fail(c, Say("mutation %d lost during a run", i));
    t->mutationsGained += static_cast<uint64_t>(a.fish.mutationCount - b.fish.mutationCount);

    for (int i = 0; i < kMoveCount; ++i) {
        const SpecialMove& was = b.moves[i];
        const SpecialMove& is = a.moves[i];
        if (is.active == 1) {
            const int32_t since = Since(now, is.phaseTick);
            if (since < 0 || since > 100) Fail(c, Say("move %d phase tick %d ms behind", i, since));
            if (was.active == 1 && is.phase != was.phase && is.phase != was.phase + 1)
                Fail(c, Say("move %d went from phase %d to %d in one frame", i, was.phase, is.phase));
            if (was.active == 0) {
                ++t->movesStarted;
                if (is.phase != 0) Fail(c, Say("move %d started in phase %d", i, is.phase));
            }
        } else if (was.active == 1 && was.phase != 3) {
            Fail(c, Say("move %d ended from phase %d, not after its effect", i, was.phase));
        }
    }
    if ((AnyMoveActive(b) || AnyMoveActive(a)) && (a.pollution < 5 || a.fish.strength < 0))
        Fail(c, Say("after a frame with a special move: pollution %d (floor 5), strength %d (floor 0)", a.pollution,
                    a.fish.strength));

    const int32_t was = ActiveSlot(b);
    const int32_t is = ActiveSlot(a);
    if (is < 0) return;
    const DriftObject& o = a.drift[is];
    if (was >= 0 && was != is) Fail(c, Say("object slot changed from %d to %d in flight", was, is));
    if (was < 0) {
        ++t->objectsSpawned;
        if (o.x != kScreenWidth - o.size) Fail(c, Say("object spawned at x %d, size %d", o.x, o.size));
        if (o.moveInterval < 50 || o.moveInterval > 149 || o.step != 10)
            Fail(c, Say("object interval %d, step %d", o.moveInterval, o.step));
        if (!ValueFitsSlot(is, o.value)) Fail(c, Say("object value %d in slot %d", o.value, is));
    } else if (o.x != b.drift[is].x && o.x != b.drift[is].x - o.step) {
        Fail(c, Say("object went from x %d to %d in one frame", b.drift[is].x, o.x));
    }
    if (o.x <= -o.size || o.x > kScreenWidth - o.size || o.y < 0 || o.y >= kScreenHeight - o.size)
        Fail(c, Say("object in flight at (%d, %d), size %d", o.x, o.y, o.size));
    const int32_t since = Since(now, o.moveTick);
    if (since < 0 || since >= o.moveInterval)
        Fail(c, Say("object step timer %d ms behind, interval %d", since, o.moveInterval));
}

// A frame that must leave the run's figures alone (paused play, result).
void CheckFrozen(const Context& c, const GameView& b, const GameView& a, bool swimMayChange) {
    FishState was = b.fish;
    if (swimMayChange) {
        was.animFrame = a.fish.animFrame;
        was.animTick = a.fish.animTick;
    }
    if (std::memcmp(&was, &a.fish, sizeof was) != 0 || b.pollution != a.pollution ||
        std::memcmp(b.mutation, a.mutation, sizeof b.mutation) != 0 ||
        std::memcmp(b.drift, a.drift, sizeof b.drift) != 0 ||
        std::memcmp(b.objectActive, a.objectActive, sizeof b.objectActive) != 0 || b.thought != a.thought ||
        (b.scene == kScenePlay && std::memcmp(b.moves, a.moves, sizeof b.moves) != 0))
        Fail(c, Say("scene %d (paused %d) changed the run's state", b.scene, b.paused));
}

void CheckNewGame(const Context& c, const GameView& a) {
    const int32_t t = a.frameTick;
    const FishState& f = a.fish;
    bool fresh = a.scene == kScenePlay && a.pollution == 1000 && a.paused == 0 && a.objectInFlight == 0 &&
                 f.hp == 5000 && f.strength == 900 && f.animFrame == 1 && f.x == 1 && f.y == 310 &&
                 f.distance == 0 && f.mutationCount == 0 && f.distanceTick == t && f.animTick == t &&
                 f.moveTick == t && a.thoughtTick == t;
    for (const SpecialMove& m : a.moves) fresh = fresh && m.keyLatch == 0 && m.active == 0 && m.phase == 0;
    if (!fresh) Fail(c, "the new-game frame did not leave a fresh run");
}

// Scene changes follow title, new game, play, result; play ends only by its
// rule, and goes on only while the rule does not hold.
void CheckFlow(const Context& c, const GameView& b, const GameView& a, Tally* t) {
    static constexpr int32_t kNext[4] = {kSceneNewGame, kScenePlay, kSceneResult, kSceneTitle};
    if (a.scene != b.scene && a.scene != kNext[b.scene])
        Fail(c, Say("scene %d went to %d", b.scene, a.scene));
    if (b.scene == kSceneNewGame && a.scene != kScenePlay) Fail(c, "the new-game scene lasted more than a frame");
    if (b.scene != kScenePlay) return;
    const bool over = a.fish.mutationCount >= 8 || a.fish.hp <= 0;
    if (over && a.scene != kSceneResult)
        Fail(c, Say("play goes on with hp %d and %d mutations", a.fish.hp, a.fish.mutationCount));
    if (a.scene == kSceneResult) {
        if (a.keyLatch != 0) Fail(c, "the result screen begins with the shared latch set");
        if (a.fish.mutationCount >= 8) ++t->runsEndedByMutations;
        else if (a.fish.hp <= 0) ++t->runsEndedByHp;
        else ++t->runsEndedByTab;
    }
}

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
void CheckSceneBlit(const Context& c, const host::BltNote& n, const Source& src, const GameView& b,
                    const GameView& a, SceneDraws* d) {
    (*d)[src.kind] += 1;
    const int32_t fishX = b.scene == kSceneResult ? kResultFishX : a.fish.x;
    const int32_t fishY = b.scene == kSceneResult ? kResultFishY : a.fish.y;
    bool placed = true;
    switch (src.kind) {
        case Kind::kBack2: case Kind::kBack3: case Kind::kOpn: case Kind::kPush:
            placed = SameRect(n.destRect, 0, 0, kScreenWidth, kScreenHeight) &&
                     SameRect(n.srcRect, 0, 0, kScreenWidth, kScreenHeight);
            break;
        case Kind::kFish1: case Kind::kFish2: case Kind::kFishT: case Kind::kMove: case Kind::kHenge:
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
        default:
            Fail(c, Say("scene %d blitted a picture of kind %d", b.scene, static_cast<int>(src.kind)));
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
                Fail(c, Say("move %d in phase %d drawn %d times (picture %d)", i, phase, d.moveBlits[i],
                            d.movePhase[i]));
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

GameView ReadGame() {
    GameView g{};
    g.scene = g_scene;
    g.frameTick = g_frameTick;
    g.keyLatch = g_keyLatch;
    g.paused = g_paused;
    g.pauseLatch = g_pauseLatch;
    g.pollutionTick = g_pollutionTick;
    g.drainTick = g_drainTick;
    g.fish = g_fish;
    g.pollution = g_pollution;
    std::memcpy(g.mutation, g_mutation, sizeof g.mutation);
    std::memcpy(g.moves, g_specialMoves, sizeof g.moves);
    std::memcpy(g.drift, g_drift, sizeof g.drift);
    std::memcpy(g.objectActive, g_objectActive, sizeof g.objectActive);
    g.objectInFlight = g_objectInFlight;
    g.thought = g_thought;
    g.thoughtTick = g_thoughtTick;
    g.scrollX = g_scrollX;
    std::memcpy(g.bubbles, g_bubbles, sizeof g.bubbles);
    return g;
}

void CheckFrame(const Context& c, const GameView& b, const GameView& a, const std::vector<headless::DrawNote>& draws,
                bool lost, Tally* t) {
    static bool gameStarted = false;
    if (b.scene == kSceneNewGame) {
        CheckNewGame(c, a);
        gameStarted = true;
        ++t->runs;
    }
    CheckAlways(c, a, gameStarted);
    CheckFlow(c, b, a, t);
    if (b.scene == kScenePlay && b.paused == 0) CheckRunning(c, b, a, t);
    if (b.scene == kScenePlay && b.paused == 1) {
        CheckFrozen(c, b, a, false);
        ++t->pausedFrames;
    }
    if (b.scene == kSceneTitle || b.scene == kSceneResult) CheckFrozen(c, b, a, b.scene == kSceneResult);

    // The log: the river, the scene's own pictures and texts, the bubbles,
    // then the flip.
    if (draws.empty() || draws.back().kind != headless::DrawNote::kFlip)
        Fail(c, "the frame's draw log does not end with its flip");
    const size_t end = draws.size() - 1;
    const int32_t s = b.scrollX;
    const int32_t w = kScreenWidth - s;
    size_t i = 0;
    auto riverBlit = [&](LONG destLeft, LONG srcLeft, LONG width) {
        if (i >= end || draws[i].kind != headless::DrawNote::kBlt) Fail(c, "the frame does not start with the river");
        const host::BltNote& n = draws[i++].blt;
        if (n.dest != g_back || n.src != g_picBack || n.keyed || !SameRect(n.destRect, destLeft, 0, width, kScreenHeight) ||
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
        const headless::DrawNote& note = draws[i];
        if (note.kind == headless::DrawNote::kText) {
            const headless::TextNote& text = note.text;
            bool known = false;
            for (COLORREF colour : kColours) known = known || colour == text.colour;
            const bool onScreen = 0 <= text.x && text.x < kScreenWidth && 0 <= text.y && text.y < kScreenHeight;
            if (!known || text.text.empty() || (text.colour != kMagenta && !onScreen))
                Fail(c, Say("text \"%s\" at (%d, %d) in colour %06" PRIx32 " is not one of the game's", text.text.c_str(),
                            text.x, text.y, static_cast<uint32_t>(text.colour)));
            if (text.colour != kMagenta && text.x == 0 && text.y % 20 == 0 && text.y <= 60) hud[text.y / 20] = true;
            ++texts;
            continue;
        }
        if (note.kind != headless::DrawNote::kBlt) Fail(c, "a flip in the middle of a frame");
        const host::BltNote& n = note.blt;
        const Source src = Classify(n.src);
        if (src.kind == Kind::kAwa) break;
        if (n.dest != g_back) Fail(c, "a blit to a surface other than the back buffer");
        if (src.kind == Kind::kUnknown || src.kind == Kind::kBack) Fail(c, "a scene blit from the river or from a picture the game does not own");
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
            const host::BltNote& n = draws[i].blt;
            if (draws[i].kind != headless::DrawNote::kBlt || Classify(n.src).kind != Kind::kAwa)
                Fail(c, "something drawn after the bubbles");
            const LONG frame = n.srcRect.left / kBubbleSize;
            // Two bubbles at one place: a resting frame there after the first
            // is the next bubble's.
            const bool nextHere = k + 1 < kBubbleCount && a.bubbles[k + 1].x == bubble.x &&
                                  a.bubbles[k + 1].y == bubble.y && frame == 6;
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

void Fail(const Context& c, const std::string& message) {
    const GameView g = ReadGame();
    std::fprintf(stderr,
                 "soak: FAILED at frame %" PRIu64 " of %" PRIu64 ": %s\n"
                 "soak: reproduce with: kawauo-soak --seed %" PRIu64 " --frames %" PRIu64 "\n"
                 "soak: clock %" PRIu32 " ms, frame tick %d, scene %d, paused %d, latches key %d pause %d\n"
                 "soak: fish hp %d strength %d at (%d, %d) distance %d mutations %d swim %d; pollution %d\n"
                 "soak: moves (latch active phase tick): %d %d %d %d | %d %d %d %d | %d %d %d %d\n"
                 "soak: objects in flight %d, slots %d %d %d %d %d %d\n",
                 c.frame, c.framesWanted, message.c_str(), c.seed, c.framesWanted, headless::Milliseconds(),
                 g.frameTick, g.scene, g.paused, g.keyLatch, g.pauseLatch, g.fish.hp, g.fish.strength, g.fish.x,
                 g.fish.y, g.fish.distance, g.fish.mutationCount, g.fish.animFrame, g.pollution, g.moves[0].keyLatch,
                 g.moves[0].active, g.moves[0].phase, g.moves[0].phaseTick, g.moves[1].keyLatch, g.moves[1].active,
                 g.moves[1].phase, g.moves[1].phaseTick, g.moves[2].keyLatch, g.moves[2].active, g.moves[2].phase,
                 g.moves[2].phaseTick, g.objectInFlight, g.objectActive[0], g.objectActive[1], g.objectActive[2],
                 g.objectActive[3], g.objectActive[4], g.objectActive[5]);
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace soak
