// Pictures read from files under one budget for the whole game: their pixels
// together, and the colour matching that true-colour pictures call for.
#pragma once
#include <cstdint>
#include <string>

#include "winapi/bmp_decode.h"
#include "winapi/files.h"

namespace winapi {

// Far above the game's own pictures (about 2.5 million pixels, all indexed),
// low enough that a start stays within a few hundred megabytes.
constexpr int64_t kPictureBudgetPixels = int64_t{1} << 25;
// Distinct colours of true-colour pictures, each matched against the whole
// palette once.
constexpr int64_t kColourMatchBudget = int64_t{1} << 20;

// `path` read and decoded, charged to the budget under its name (reading the
// same name again, as a restore does, replaces its charge). The headers are
// checked against the budget before any pixel is decoded.
FileProblem LoadPicture(const std::string& path, DecodedBitmap* out);
// The budget as at program start (for the headless host's reset).
void ResetPictureBudget();

}  // namespace winapi

// A whole file decoded, outside the budget: for tools and tests.
bool LoadBmpFile(const std::string& path, DecodedBitmap* out);
