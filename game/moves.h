// The three special moves: fait (F3), sokodikara (F1), tomogui (F2).
#pragma once
#include <cstdint>

enum MoveIndex : int32_t { kMoveFait = 0, kMoveSokodikara = 1, kMoveTomogui = 2 };

struct SpecialMove {
    int32_t keyLatch;
    int32_t active;
    int32_t phase;
    int32_t phaseTick;
};

constexpr int kMoveCount = 3;
extern SpecialMove g_specialMoves[kMoveCount];

void UpdateSpecialMove(int32_t index);
