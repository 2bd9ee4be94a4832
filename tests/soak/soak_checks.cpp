// The invariants checked after every frame of the soak run.
#include "tests/soak/soak_checks.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/fish.h"
#include "game/play.h"
#include "game/thought.h"

namespace soak {
namespace {

constexpr int32_t kMaxFishX = 235;
constexpr int32_t kMaxFishY = 310;
constexpr int32_t kBubbleSize = 16;

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
        if (!IsFlag(m.keyLatch) || !IsFlag(m.active))
            Fail(c, Say("move %d latch %d active %d", i, m.keyLatch, m.active));
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
        {"movement", a.fish.moveTick, 29}, {"distance", a.fish.distanceTick, 100}, {"pollution", a.pollutionTick, 1000},
        {"drain", a.drainTick, 500},       {"thought", a.thoughtTick, 4999},       {"swim", a.fish.animTick, 100},
    };
    for (const TimerBound& timer : timers) {
        const int32_t since = Since(now, timer.tick);
        if (since < 0 || since > timer.most)
            Fail(c,
                 Say("%s timer is %d ms behind after a running frame (allowed 0..%d)", timer.name, since, timer.most));
    }
    // No figure moves by more than a few thousand in a frame; a jump of half
    // the 32-bit range is a wrap.
    const int32_t figures[][2] = {{b.fish.hp, a.fish.hp},
                                  {b.fish.strength, a.fish.strength},
                                  {b.pollution, a.pollution},
                                  {b.fish.distance, a.fish.distance}};
    for (const auto& figure : figures)
        if (std::llabs(int64_t{figure[1]} - figure[0]) >= (int64_t{1} << 30))
            Fail(c, Say("a figure wrapped round from %d to %d", figure[0], figure[1]));
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
                 f.hp == 5000 && f.strength == 900 && f.animFrame == 1 && f.x == 1 && f.y == 310 && f.distance == 0 &&
                 f.mutationCount == 0 && f.distanceTick == t && f.animTick == t && f.moveTick == t &&
                 a.thoughtTick == t;
    for (const SpecialMove& m : a.moves) fresh = fresh && m.keyLatch == 0 && m.active == 0 && m.phase == 0;
    if (!fresh) Fail(c, "the new-game frame did not leave a fresh run");
}

// Scene changes follow title, new game, play, result; play ends only by its
// rule, and goes on only while the rule does not hold.
void CheckFlow(const Context& c, const GameView& b, const GameView& a, Tally* t) {
    static constexpr int32_t kNext[4] = {kSceneNewGame, kScenePlay, kSceneResult, kSceneTitle};
    if (a.scene != b.scene && a.scene != kNext[b.scene]) Fail(c, Say("scene %d went to %d", b.scene, a.scene));
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

void CheckFrame(const Context& c, const GameView& b, const GameView& a, const std::vector<winapi::DrawNote>& draws,
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

    CheckDraws(c, b, a, draws, lost, t);
}

void Fail(const Context& c, const std::string& message) {
    const GameView g = ReadGame();
    std::fprintf(stderr,
                 "soak: FAILED at frame %" PRIu64 " of %" PRIu64
                 ": %s\n"
                 "soak: reproduce with: kawauo-soak --seed %" PRIu64 " --frames %" PRIu64
                 "\n"
                 "soak: clock %" PRIu32
                 " ms, frame tick %d, scene %d, paused %d, latches key %d pause %d\n"
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
