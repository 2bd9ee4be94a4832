// kawauo-soak: hours of play on the headless host in one process, random
// keys, switches away and back, lost surfaces, damaged pictures, injected
// faults and a clock across both of its wraps, with every frame checked.
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "app/app.h"
#include "display/registry.h"
#include "game/play.h"
#include "hosts/headless/headless.h"
#include "tests/soak/soak.h"
#include "tests/soak/soak_checks.h"
#include "winapi/win.h"

namespace soak {
namespace {

constexpr uint32_t kWrapLead = 60'000;          // the clock starts a minute before each wrap
constexpr uint32_t kSignedWrap = 0x8000'0000u;  // where a signed 32-bit tick turns negative
constexpr uint64_t kEnoughForWraps = 20'000;    // frames that certainly cross both wraps

struct Options {
    uint64_t frames = 300'000;
    uint64_t seed = 0;
    bool seedGiven = false;
    bool fileFaults = true;
    bool keepDir = false;
};

// The keys the game reads, and one it does not.
constexpr int kKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_F1, VK_F2, VK_F3, VK_SPACE, VK_TAB, 'A'};
constexpr int kKeyCount = static_cast<int>(std::size(kKeys));
constexpr int kSpace = 7;

// A way of playing: per frame, the chance of each key changing between up and
// down while in play. SPACE on the title and result screens is the same for all.
struct Persona {
    const char* name;
    double toggle[kKeyCount];
};
constexpr char kCleaner[] = "cleaner";
constexpr Persona kPersonas[] = {
    {"masher", {0.08, 0.08, 0.08, 0.08, 0.03, 0.03, 0.03, 0.005, 0.0008, 0.01}},
    {"survivor", {0.05, 0.05, 0.05, 0.05, 0.005, 0.2, 0.1, 0.0, 0.0, 0.0}},  // long runs, big numbers
    {kCleaner, {0.05, 0.05, 0.05, 0.05, 0.3, 0.0, 0.3, 0.0, 0.0, 0.0}},      // see PlayKeys
    {"idle", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"pauser", {0.05, 0.05, 0.05, 0.05, 0.02, 0.02, 0.02, 0.05, 0.0003, 0.0}},
    {"holder", {0.01, 0.01, 0.01, 0.01, 0.01, 0.01, 0.01, 0.002, 0.0002, 0.001}},
};

struct Driver {
    Options options;
    Context context;
    Rng rng{0};
    Tally tally;
    PictureFolder folder;
    SurfaceSnapshot snapshot;
    std::vector<bool> dirty;  // by registry index: reloaded from a damaged file
    bool paletteDirty = false;
    bool checkRestore = false;
    GameView before{};
    bool held[kKeyCount] = {};
    int persona = 0;
    uint64_t personaLeft = 0;
    int backgroundLeft = 0;  // frames left in the background; 0 when active
    bool lost = false;
    HRESULT flipFault = DD_OK;
    int32_t appActive = 0;  // nothing says the game is active until the first activation
    bool escSent = false;
    int framesShown = 0;
};

Driver d;

void Queue(int key, bool down) {
    if (down) headless::KeyDown(key);
    else headless::KeyUp(key);
}

void PlayKeys(const GameView& now) {
    if (d.personaLeft-- == 0) {
        d.persona = static_cast<int>(d.rng.Below(static_cast<uint32_t>(std::size(kPersonas))));
        // Now and then a marathon of an hour or more, where the figures grow large.
        d.personaLeft = d.rng.OneIn(10) ? 150'000 + d.rng.Below(100'000) : 2'000 + d.rng.Below(50'000);
        if (d.rng.OneIn(2))
            for (int k = 0; k < kKeyCount; ++k) {
                if (!d.held[k]) continue;
                d.held[k] = false;
                Queue(kKeys[k], false);
            }
    }
    const bool menu = now.scene == kSceneTitle || now.scene == kSceneResult;
    const bool paused = now.scene == kScenePlay && now.paused == 1;
    for (int k = 0; k < kKeyCount; ++k) {
        double p = kPersonas[d.persona].toggle[k];
        if (k == kSpace && menu) p = 0.05;
        if (k == kSpace && paused) p = std::max(p, 0.02);  // every player comes back from a pause
        // The cleaner keeps strength above the pollution with F3, so that the
        // drain stays small, and brings the water down with F1.
        if (kKeys[k] == VK_F3 && kPersonas[d.persona].name == kCleaner && now.pollution <= now.fish.strength) p = 0;
        if (d.rng.Chance(p)) {
            d.held[k] = !d.held[k];
            Queue(kKeys[k], d.held[k]);
        } else if (d.held[k] && d.rng.OneIn(100)) {
            Queue(kKeys[k], true);  // the keyboard's own repeat
        }
    }
}

// Coming back to the foreground: the registry reloads every lost picture
// from the files as they are now.
void QueueActivation() {
    headless::Activate(true);
    d.appActive = 1;
    ++d.tally.activations;
    if (!d.lost) return;
    for (int32_t i = 0; i < g_surfaceCount; ++i) d.dirty[i] = d.folder.Damaged(g_surfaceNames[i]);
    d.paletteDirty = d.folder.Damaged(g_paletteFile);
    d.lost = false;
    d.checkRestore = true;
}

// Switching away and back, losses, damaged pictures. True when an activation
// was queued for the next frame.
bool SwitchAway() {
    if (d.backgroundLeft > 0) {
        if (--d.backgroundLeft > 0) return false;
        QueueActivation();
        return true;
    }
    if (d.rng.OneIn(4'000)) {
        headless::Activate(false);
        d.appActive = 0;
        d.backgroundLeft = 1 + static_cast<int>(d.rng.Below(300));
        if (d.rng.Chance(0.8)) {
            headless::LoseSurfaces();
            d.lost = true;
            ++d.tally.losses;
            if (d.options.fileFaults) {
                if (d.folder.AnyDamaged() && d.rng.OneIn(2)) d.folder.Repair();
                if (d.rng.Chance(0.4)) {
                    for (uint32_t n = 1 + d.rng.Below(3); n > 0; --n) d.folder.Damage(&d.rng);
                    ++d.tally.fileFaults;
                }
            }
        }
        return false;
    }
    if (d.rng.OneIn(20'000)) {  // lost while in front: frames fail until the next activation
        headless::LoseSurfaces();
        d.lost = true;
        ++d.tally.losses;
        return false;
    }
    if (d.rng.OneIn(20'000)) {  // told it is active while it already is
        QueueActivation();
        return true;
    }
    return false;
}

// One failing platform call in the next frame, which the game must shrug off.
void InjectFault(const GameView& now) {
    if (!d.rng.OneIn(700)) return;
    const bool drawsText = (now.scene == kScenePlay && now.paused == 0) || now.scene == kSceneResult;
    switch (d.rng.Below(3)) {
        case 0: headless::FailNext("Blt", DDERR_SURFACEBUSY); break;
        case 1:
            headless::FailNext("Flip", DDERR_GENERIC);
            d.flipFault = DDERR_GENERIC;
            break;
        default:
            if (!drawsText) return;
            headless::FailNext("GetDC", DDERR_SURFACEBUSY);
            break;
    }
    ++d.tally.injectedFaults;
}

// Mostly a 60 Hz frame; sometimes the same millisecond, a short one, a slow
// one or a stall of seconds.
uint32_t ClockStep() {
    const uint32_t r = d.rng.Below(1000);
    if (r < 600) return 16 + d.rng.Below(2);
    if (r < 700) return 0;
    if (r < 800) return 1 + d.rng.Below(15);
    if (r < 998) return 18 + d.rng.Below(83);
    return 100 + d.rng.Below(2900);
}

void AdvanceClock() {
    const uint32_t was = headless::Milliseconds();
    uint32_t now = was + ClockStep();
    d.tally.playedMs += now - was;
    // Half-way, the machine sleeps until a minute before the unsigned wrap:
    // less than 2^31 ms, so every stored tick is still in the past.
    if (d.context.frame == d.options.frames / 2 && now >= kSignedWrap && now < 0u - kWrapLead) {
        d.tally.jumpMs = (0u - kWrapLead) - now;
        now = 0u - kWrapLead;
    }
    if (was < kSignedWrap && now >= kSignedWrap) d.tally.crossed31 = true;
    if (now < was) d.tally.crossed32 = true;
    headless::SetMilliseconds(now);
}

long ResidentKb() {
    long pages = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Record(const GameView& g) {
    Tally& t = d.tally;
    t.maxHp = std::max<int64_t>(t.maxHp, g.fish.hp);
    t.minHp = std::min<int64_t>(t.minHp, g.fish.hp);
    t.maxPollution = std::max<int64_t>(t.maxPollution, g.pollution);
    if (g.scene == kScenePlay) t.minPollution = std::min<int64_t>(t.minPollution, g.pollution);
    if (g.scene == kScenePlay) t.minStrength = std::min<int64_t>(t.minStrength, g.fish.strength);
    t.maxStrength = std::max<int64_t>(t.maxStrength, g.fish.strength);
    t.maxDistance = std::max<int64_t>(t.maxDistance, g.fish.distance);
}

void OnFrame(HRESULT flipResult) {
    const Context& c = d.context;
    ++d.context.frame;
    ++d.tally.frames;
    if (d.escSent) Fail(c, "a frame ran after ESC");

    const HRESULT expected = d.flipFault != DD_OK ? d.flipFault : d.lost ? DDERR_SURFACELOST : DD_OK;
    if (flipResult != expected)
        Fail(c, "flip gave " + std::to_string(flipResult) + ", expected " + std::to_string(expected));
    d.flipFault = DD_OK;
    const int shown = headless::FramesShown();
    if (shown != d.framesShown + (flipResult == DD_OK ? 1 : 0)) Fail(c, "a frame was shown without a good flip");
    d.framesShown = shown;
    d.tally.framesShown = static_cast<uint64_t>(shown);
    if (!headless::MessageBoxes().empty() || !headless::DebugLines().empty())
        Fail(c, "a message box or debug line during play: " +
                    (headless::DebugLines().empty() ? headless::MessageBoxes()[0].text : headless::DebugLines()[0]));
    if (g_appActive != d.appActive) Fail(c, "g_appActive is " + std::to_string(g_appActive));

    const std::vector<winapi::DrawNote> draws = winapi::TakeDraws();
    const GameView now = ReadGame();
    if (c.frame == 1) {
        // Nothing has run yet but this first title frame and the river's first step.
        d.before = now;
        d.before.scrollX = 0;
        TakeSnapshot(&d.snapshot);
        d.dirty.assign(static_cast<size_t>(g_surfaceCount), false);
    }
    if (now.frameTick != static_cast<int32_t>(headless::Milliseconds())) Fail(c, "the frame tick is not the clock");
    CheckFrame(c, d.before, now, draws, d.lost, &d.tally);
    if (d.checkRestore) {
        CheckRestored(c, d.snapshot, d.dirty, d.paletteDirty);
        d.checkRestore = false;
        ++d.tally.restoresChecked;
    }
    Record(now);
    d.before = now;
    if (c.frame == d.options.frames / 10) d.tally.rssEarlyKb = ResidentKb();

    if (c.frame >= d.options.frames) {
        headless::KeyDown(VK_ESCAPE);
        d.escSent = true;
        return;
    }
    if (d.backgroundLeft == 0) PlayKeys(now);  // keys go to whoever is in front
    const bool activating = SwitchAway();
    if (!activating && !d.lost) InjectFault(now);
    AdvanceClock();
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue) {
            o->frames = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--seed" && hasValue) {
            o->seed = std::strtoull(argv[++i], nullptr, 10);
            o->seedGiven = true;
        } else if (arg == "--no-file-faults") {
            o->fileFaults = false;
        } else if (arg == "--keep-dir") {
            o->keepDir = true;
        } else {
            return false;
        }
    }
    return o->frames > 0;
}

void PrintSummary() {
    const Tally& t = d.tally;
    const double hours = static_cast<double>(t.playedMs) / 3'600'000.0;
    std::printf("soak: seed %" PRIu64 ": %" PRIu64 " frames (%" PRIu64 " shown), %.2f h simulated play", d.options.seed,
                t.frames, t.framesShown, hours);
    std::printf(" plus a sleep of %.1f days; clock wrapped at 2^31: %s, at 2^32: %s\n",
                static_cast<double>(t.jumpMs) / 86'400'000.0, t.crossed31 ? "yes" : "no", t.crossed32 ? "yes" : "no");
    std::printf("soak: %" PRIu64 " runs (ended: %" PRIu64 " TAB, %" PRIu64 " hp, %" PRIu64 " mutations), %" PRIu64
                " paused frames, %" PRIu64 " moves, %" PRIu64 " objects (%" PRIu64 " hits), %" PRIu64 " mutations\n",
                t.runs, t.runsEndedByTab, t.runsEndedByHp, t.runsEndedByMutations, t.pausedFrames, t.movesStarted,
                t.objectsSpawned, t.objectHits, t.mutationsGained);
    std::printf(
        "soak: %" PRIu64 " losses, %" PRIu64 " activations, %" PRIu64 " restores checked, %" PRIu64
        " times pictures damaged, %" PRIu64 " injected faults; %" PRIu64 " blits and %" PRIu64 " texts checked\n",
        t.losses, t.activations, t.restoresChecked, t.fileFaults, t.injectedFaults, t.blitsChecked, t.textsChecked);
    std::printf("soak: hp %" PRId64 "..%" PRId64 ", pollution %" PRId64 "..%" PRId64 ", strength %" PRId64 "..%" PRId64
                ", distance up to %" PRId64 "\n",
                t.minHp, t.maxHp, t.minPollution, t.maxPollution, t.minStrength, t.maxStrength, t.maxDistance);
    std::printf("soak: resident %ld kB a tenth of the way in, %ld kB at the end\n", t.rssEarlyKb, t.rssEndKb);
}

}  // namespace
}  // namespace soak

int main(int argc, char** argv) {
    using namespace soak;
    if (!ParseOptions(argc, argv, &d.options)) {
        std::fprintf(stderr, "usage: kawauo-soak [--frames N] [--seed S] [--no-file-faults] [--keep-dir]\n");
        return 2;
    }
    if (!d.options.seedGiven) d.options.seed = std::random_device{}();
    d.context = Context{d.options.seed, 0, d.options.frames};
    d.rng = Rng(d.options.seed);
    std::string why;
    if (!d.folder.Create(std::string(KAWAUO_SOURCE_DIR) + "/bmp", &why)) {
        std::fprintf(stderr, "soak: %s\n", why.c_str());
        return 2;
    }
    std::printf("soak: seed %" PRIu64 ", %" PRIu64 " frames, pictures in %s\n", d.options.seed, d.options.frames,
                d.folder.Dir().c_str());
    std::fflush(stdout);

    headless::Reset();
    headless::SetCalendarSeconds(static_cast<int64_t>(d.options.seed & 0x7FFF'FFFF));
    headless::SetMilliseconds(kSignedWrap - kWrapLead);
    winapi::RecordDraws(true);
    headless::OnFrame(OnFrame);
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT);

    d.context.frame = d.tally.frames;
    d.tally.rssEndKb = ResidentKb();
    if (code != 0) Fail(d.context, "WinMain returned " + std::to_string(code) + " after ESC");
    if (d.tally.frames != d.options.frames) Fail(d.context, "the run ended before its frames");
    if (d.options.frames >= kEnoughForWraps) {
        // A soak that never reached play or never lost its surfaces proves little.
        const Tally& t = d.tally;
        if (!t.crossed31 || !t.crossed32) Fail(d.context, "the clock did not cross both wraps");
        if (t.runs == 0 || t.movesStarted == 0 || t.objectsSpawned == 0 || t.losses == 0 || t.restoresChecked == 0)
            Fail(d.context, "the soak never played, moved, met an object or lost its surfaces");
    }
    PrintSummary();
    if (d.options.keepDir) d.folder.Keep();
    else d.folder.Remove();
    return 0;
}
