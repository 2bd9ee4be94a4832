// The desktops' frame pacing (see pacing.h): a trial of vsync, then either
// vsync watched for presents that stop waiting (a hidden or minimised
// window) or a schedule of deadlines a frame apart.
#include "hosts/core/pacing.h"

#include <chrono>
#include <thread>

namespace {

constexpr uint64_t kNanoseconds = 1000000000;
constexpr uint64_t kPeriod = kNanoseconds / 60;
constexpr int kVsyncWarmUp = 10;  // presents before timing vsync
constexpr int kVsyncTrial = 30;   // presents timed to see whether vsync holds 60 Hz
constexpr int kVsyncLost = 10;    // quick presents in a row that show vsync has stopped waiting

enum class Pacing { kTimer, kVsyncTrial, kVsync };

struct Pacer {
    core::pacing::Means means;
    Pacing pacing = Pacing::kTimer;
    uint64_t deadline = 0;
    int trialPresents = 0;
    uint64_t trialStart = 0;
    int quickPresents = 0;  // under vsync, presents that did not wait
    uint64_t lastPresent = 0;
};

Pacer g_pacer;

uint64_t Now() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

// The timer takes over from now.
void UseTimer(uint64_t now) {
    if (g_pacer.means.setVsync != nullptr) g_pacer.means.setVsync(false);
    g_pacer.pacing = Pacing::kTimer;
    g_pacer.deadline = now;
}

void WatchVsync(uint64_t interval, uint64_t now) {
    g_pacer.quickPresents = interval < kPeriod / 2 ? g_pacer.quickPresents + 1 : 0;
    if (g_pacer.quickPresents >= kVsyncLost) UseTimer(now);
}

void JudgeVsyncTrial(uint64_t now) {
    ++g_pacer.trialPresents;
    if (g_pacer.trialPresents == kVsyncWarmUp) g_pacer.trialStart = now;
    if (g_pacer.trialPresents < kVsyncWarmUp + kVsyncTrial) return;
    const double mean = static_cast<double>(now - g_pacer.trialStart) / kVsyncTrial;
    if (mean > kPeriod * 0.93 && mean < kPeriod * 1.07) {
        g_pacer.pacing = Pacing::kVsync;
        g_pacer.quickPresents = 0;
    } else {
        UseTimer(now);
    }
}

}  // namespace

namespace core::pacing {

void Start(const Means& means, int refreshHz) {
    g_pacer = Pacer{};
    g_pacer.means = means;
    g_pacer.deadline = Now();
    const bool sixty = refreshHz >= 59 && refreshHz <= 61;
    if (sixty && means.setVsync != nullptr && means.setVsync(true)) g_pacer.pacing = Pacing::kVsyncTrial;
    else if (means.setVsync != nullptr) means.setVsync(false);
}

// The deadlines are absolute, so that no rounding of a sleep builds up from
// frame to frame; more than a frame late, the schedule starts again from now
// instead of hurrying.
void BeforeShow() {
    if (g_pacer.pacing != Pacing::kTimer) return;
    const uint64_t now = Now();
    if (now > g_pacer.deadline + kPeriod) g_pacer.deadline = now;
    if (g_pacer.deadline > now) {
        if (g_pacer.means.sleep != nullptr) g_pacer.means.sleep(g_pacer.deadline - now);
        else std::this_thread::sleep_for(std::chrono::nanoseconds(g_pacer.deadline - now));
    }
    g_pacer.deadline += kPeriod;
}

void AfterShow() {
    const uint64_t now = Now();
    const uint64_t interval = g_pacer.lastPresent != 0 ? now - g_pacer.lastPresent : 0;
    g_pacer.lastPresent = now;
    if (g_pacer.pacing == Pacing::kVsyncTrial) JudgeVsyncTrial(now);
    else if (g_pacer.pacing == Pacing::kVsync) WatchVsync(interval, now);
}

const char* Describe() { return g_pacer.pacing == Pacing::kVsync ? "vsync" : "timer"; }

}  // namespace core::pacing
