// Pictures read from files under one budget for the whole game.
#include "winapi/picture_load.h"

#include <map>
#include <utility>
#include <vector>

namespace {

// What each picture file costs, by name; the budget is the sum.
struct Charge {
    int64_t pixels = 0;
    int64_t colours = 0;
};
std::map<std::string, Charge> g_charges;

Charge OthersThan(const std::string& path) {
    Charge total;
    for (const auto& [name, charge] : g_charges) {
        if (name == path) continue;
        total.pixels += charge.pixels;
        total.colours += charge.colours;
    }
    return total;
}

// Distinct colours of a true-colour picture: one bit for each of 2^24.
int64_t DistinctColours(const std::vector<uint32_t>& rgb) {
    if (rgb.empty()) return 0;
    std::vector<uint64_t> seen(size_t{1} << 18, 0);
    int64_t count = 0;
    for (uint32_t c : rgb) {
        uint64_t& word = seen[(c & 0xFFFFFF) >> 6];
        const uint64_t bit = uint64_t{1} << (c & 63);
        count += (word & bit) == 0;
        word |= bit;
    }
    return count;
}

}  // namespace

namespace winapi {

FileProblem LoadPicture(const std::string& path, DecodedBitmap* out) {
    *out = DecodedBitmap{};
    std::vector<uint8_t> bytes;
    FileProblem problem;
    if (!ReadWholeFile(path, &bytes, &problem)) return problem;
    BmpHeader header;
    if (!ReadBmpHeader(bytes.data(), bytes.size(), &header)) return FileProblem::kNotBmp;
    const Charge others = OthersThan(path);
    Charge charge{int64_t{header.width} * header.height, 0};
    if (others.pixels + charge.pixels > kPictureBudgetPixels) return FileProblem::kOverBudget;
    DecodedBitmap picture;
    if (!DecodeBmp(bytes.data(), bytes.size(), &picture)) return FileProblem::kNotBmp;
    bytes = std::vector<uint8_t>();
    charge.colours = DistinctColours(picture.rgb);
    if (others.colours + charge.colours > kColourMatchBudget) return FileProblem::kOverBudget;
    g_charges[path] = charge;
    *out = std::move(picture);
    return FileProblem::kNone;
}

void ResetPictureBudget() { g_charges.clear(); }

}  // namespace winapi

bool LoadBmpFile(const std::string& path, DecodedBitmap* out) {
    *out = DecodedBitmap{};
    std::vector<uint8_t> bytes;
    winapi::FileProblem problem;
    return winapi::ReadWholeFile(path, &bytes, &problem) && DecodeBmp(bytes.data(), bytes.size(), out);
}
