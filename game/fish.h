// The fish sprite, its swim frames and the nine mutations.
#pragma once
#include <cstdint>

constexpr int kMutationCount = 9;
extern int32_t g_mutation[kMutationCount];

void DrawFish(int32_t x, int32_t y);
void CheckMutations();
