// The soak run's shared pieces: its random source, its tallies, the failure
// report, the picture folder it plays in and the invariants it checks.
#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/support.h"
#include "winapi/ddraw.h"

namespace soak {

// splitmix64: the same stream from the same seed on every machine and
// library, which the standard distributions do not promise.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
    // True with probability one in `n`.
    bool OneIn(uint32_t n) { return Below(n) == 0; }
    // True with probability `p` (0..1).
    bool Chance(double p) { return static_cast<double>(Next() >> 11) * 0x1.0p-53 < p; }

private:
    uint64_t state_;
};

// What the run went through, for the closing summary.
struct Tally {
    uint64_t frames = 0;
    uint64_t playedMs = 0;  // clock advance excluding the deliberate jump
    uint64_t jumpMs = 0;
    uint64_t framesShown = 0;
    uint64_t runs = 0;
    uint64_t runsEndedByTab = 0;
    uint64_t runsEndedByHp = 0;
    uint64_t runsEndedByMutations = 0;
    uint64_t pausedFrames = 0;
    uint64_t movesStarted = 0;
    uint64_t objectsSpawned = 0;
    uint64_t objectHits = 0;
    uint64_t mutationsGained = 0;
    uint64_t losses = 0;
    uint64_t activations = 0;
    uint64_t restoresChecked = 0;
    uint64_t fileFaults = 0;
    uint64_t injectedFaults = 0;
    uint64_t blitsChecked = 0;
    uint64_t textsChecked = 0;
    int64_t maxHp = 0;
    int64_t minHp = 0;
    int64_t minPollution = 1000;
    int64_t maxPollution = 0;
    int64_t minStrength = 900;
    int64_t maxStrength = 0;
    int64_t maxDistance = 0;
    long rssEarlyKb = 0;  // resident size a tenth of the way in, and at the end
    long rssEndKb = 0;
    bool crossed31 = false;
    bool crossed32 = false;
};

// Where a failure is reported from: the seed and frame to reproduce it.
struct Context {
    uint64_t seed = 0;
    uint64_t frame = 0;
    uint64_t framesWanted = 0;
};

// Formats a failure message.
template <typename... Args>
std::string Say(const char* format, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// Prints the failure with the seed, the frame and the game's state, then ends
// the process with status 1 (the game cannot be left half-way cleanly).
[[noreturn]] void Fail(const Context& context, const std::string& message);

// The picture folder: a private copy of the repository's bmp/ that the run
// may damage while the game's surfaces are lost, as anyone could.
class PictureFolder {
public:
    // Copies `sourceBmp` into a fresh directory under the system's temporary
    // directory and makes that directory the working directory.
    bool Create(const std::string& sourceBmp, std::string* why);
    // Goes back to the working directory Create found, then removes the
    // directory with everything in it.
    void Remove();
    // Leaves the directory in place after the run, to be looked at.
    void Keep();
    const std::string& Dir() const { return dir_; }
    // Damages one picture file at random (removed, cut short, bytes
    // scribbled, another picture's bytes, or a fresh bitmap of another size).
    // Returns what it did.
    std::string Damage(Rng* rng);
    // Puts back every damaged file.
    void Repair();
    // Whether the game's name for a picture ("bmp\\x.bmp") is damaged now.
    bool Damaged(const std::string& gameName) const;
    bool AnyDamaged() const { return !damaged_.empty(); }

private:
    std::optional<testsupport::TempFolder> folder_;
    std::filesystem::path start_;  // the working directory before Create
    std::string source_;
    std::string dir_;
    std::vector<std::string> files_;    // picture file names
    std::vector<std::string> damaged_;  // names of damaged files
};

// The registered pictures as first loaded, to compare with after a restore.
struct SurfaceSnapshot {
    std::vector<std::vector<uint8_t>> pixels;  // by registry index
    std::vector<int> width;
    std::vector<int> height;
    PALETTEENTRY palette[256];
};
void TakeSnapshot(SurfaceSnapshot* snapshot);

// Every registered picture whose file was whole at the last restore must
// hold exactly its first pixels, and the palette its first entries.
void CheckRestored(const Context& context, const SurfaceSnapshot& snapshot, const std::vector<bool>& dirty,
                   bool paletteDirty);

}  // namespace soak
