// A millisecond clock that can stand still: while paused it reads the time
// the pause began, and after it the time away is left out, so no timer of
// the game fires for it.
#pragma once
#include <cstdint>

namespace core {

class PauseClock {
public:
    // `raw` is the running clock at the moment of each call.
    uint32_t Read(uint32_t raw) const { return (paused_ ? pausedAt_ : raw) - away_; }
    void Pause(uint32_t raw) {
        if (paused_) return;
        paused_ = true;
        pausedAt_ = raw;
    }
    void Resume(uint32_t raw) {
        if (!paused_) return;
        paused_ = false;
        away_ += raw - pausedAt_;
    }
    bool Paused() const { return paused_; }

private:
    bool paused_ = false;
    uint32_t pausedAt_ = 0;
    uint32_t away_ = 0;  // milliseconds spent paused, all pauses together
};

}  // namespace core
