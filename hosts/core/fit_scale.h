// The picture fitted to any size as 32-bit pixels: the scale mode fit done
// by our own conversion, for a host that shows the result 1:1.
#pragma once
#include <cstdint>

namespace core {

// The 640x480 picture `pixels` through `colours` (its palette as the
// target's own pixels) at `width` x `height` into `target`, whose rows are
// `pitch` bytes apart and whose top-left corner is where the picture's goes:
// enlarged by the largest whole factor that fits both sides (1 when none
// does), pixel for pixel, then stretched smoothly the rest of the way, each
// pixel weighing the four nearest of the enlarged picture by their distance
// (bilinear, pixel centres aligned). At a whole multiple that is the
// multiple, pixel for pixel. Nothing outside width x height is written. One
// thread at a time: it keeps the tables of the last size asked for.
void ConvertFitted(const uint8_t* pixels, const uint32_t colours[256], int width, int height, void* target, int pitch);

// The instructions ConvertFitted takes: the widest vectors the processor
// has (AVX2, the default), or plain ones, for the tests and the benchmark
// that compare them.
enum class FitInstructions { kWidest, kPlain };
void UseFitInstructions(FitInstructions set);

}  // namespace core
