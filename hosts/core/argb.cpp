// The 640x480 picture of palette indices as the 32-bit pixels a display takes,
// at its own size or enlarged by a whole factor.
#include "hosts/core/argb.h"

#include <bit>
#include <cstddef>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Four pixels as two pairs, written by one 16-byte store.
using FourPixels = uint64_t __attribute__((vector_size(16)));

// Every two neighbouring indices (the left one in the low byte) as their two
// pixels in memory order: at its own size the picture takes one load for two
// pixels. Made again only when the colours change (a fade); hosts convert
// from one thread.
struct PairTable {
    alignas(64) uint64_t pairs[65536];
    uint32_t colours[256];
    bool made = false;
};

PairTable g_pairTable;

// Two pixels as one word, the left one first in memory.
uint64_t TwoPixels(uint32_t left, uint32_t right) {
    if constexpr (std::endian::native == std::endian::big) return uint64_t{left} << 32 | right;
    return uint64_t{right} << 32 | left;
}

void UsePairsOf(const uint32_t colours[256]) {
    PairTable& t = g_pairTable;
    if (t.made && std::memcmp(t.colours, colours, sizeof t.colours) == 0) return;
    for (int right = 0; right < 256; ++right) {
        uint64_t* row = t.pairs + right * 256;
        for (int left = 0; left < 256; ++left) row[left] = TwoPixels(colours[left], colours[right]);
    }
    std::memcpy(t.colours, colours, sizeof t.colours);
    t.made = true;
}

// Eight indices, the first in the low byte: compilers make this one load.
[[gnu::always_inline]] inline uint64_t EightIndices(const uint8_t* p) {
    return uint64_t{p[0]} | uint64_t{p[1]} << 8 | uint64_t{p[2]} << 16 | uint64_t{p[3]} << 24 | uint64_t{p[4]} << 32 |
           uint64_t{p[5]} << 40 | uint64_t{p[6]} << 48 | uint64_t{p[7]} << 56;
}

// Four pixels from four indices, the first in the low bits of `four`, stored.
void PutFour(const uint64_t pairs[65536], uint64_t four, uint8_t* dst) {
    const FourPixels pixels = {pairs[four & 0xFFFF], pairs[four >> 16 & 0xFFFF]};
    std::memcpy(dst, &pixels, sizeof pixels);
}

// One row at its own size: eight indices a load, four pixels a store, sixteen
// pixels a turn (fewer turns, and less at the mercy of where the loop lies).
void PairRow(const uint8_t* src, uint8_t* dst) {
    const uint64_t* pairs = g_pairTable.pairs;
    for (int x = 0; x < kScreenWidth; x += 16) {
        const uint64_t first = EightIndices(src + x), second = EightIndices(src + x + 8);
        PutFour(pairs, first, dst + x * 4);
        PutFour(pairs, first >> 32, dst + x * 4 + 16);
        PutFour(pairs, second, dst + x * 4 + 32);
        PutFour(pairs, second >> 32, dst + x * 4 + 48);
    }
}

// Four pixels stored.
void Store(uint8_t* dst, FourPixels four) { std::memcpy(dst, &four, sizeof four); }

// Four pixels to a 16-byte boundary, past the caches where the processor
// can: a target larger than they are is then written without being read
// first. Streamed stores are made visible to others by StreamDone.
#if defined(__SSE2__)
void Stream(uint8_t* dst, FourPixels four) { _mm_stream_si128(reinterpret_cast<__m128i*>(dst), __m128i(four)); }
void StreamDone() { _mm_sfence(); }
#else
void Stream(uint8_t* dst, FourPixels four) { Store(dst, four); }
void StreamDone() {}
#endif

// One row at twice its size, written on both of its rows at once: each index
// a doubled pixel, four pixels a store.
template <void (*Put)(uint8_t*, FourPixels)>
void DoubledRows(const uint8_t* src, const uint64_t doubled[256], uint8_t* dst, ptrdiff_t pitch) {
    for (int x = 0; x < kScreenWidth; x += 2) {
        const FourPixels four = {doubled[src[x]], doubled[src[x + 1]]};
        Put(dst + x * 8, four);
        Put(dst + pitch + x * 8, four);
    }
}

// Any other factor: the first row pixel by pixel, the others copies of it.
void WidenedRows(const uint8_t* src, const uint32_t colours[256], int scale, uint8_t* dst, ptrdiff_t pitch) {
    uint32_t* out = reinterpret_cast<uint32_t*>(dst);
    for (int x = 0; x < kScreenWidth; ++x)
        for (int i = 0; i < scale; ++i) *out++ = colours[src[x]];
    const size_t rowBytes = size_t{kScreenWidth} * scale * 4;
    for (int i = 1; i < scale; ++i) std::memcpy(dst + i * pitch, dst, rowBytes);
}

}  // namespace

namespace core {

void ConvertScaled(const uint8_t* pixels, const uint32_t colours[256], int scale, void* target, int pitch) {
    uint64_t doubled[256];
    if (scale == 1) UsePairsOf(colours);
    if (scale == 2)
        for (int i = 0; i < 256; ++i) doubled[i] = TwoPixels(colours[i], colours[i]);
    // Twice the picture (4.9 MB) is larger than most caches: streamed where the rows allow it.
    const bool stream = (reinterpret_cast<uintptr_t>(target) | static_cast<unsigned>(pitch)) % 16 == 0;
    uint8_t* row = static_cast<uint8_t*>(target);
    for (int y = 0; y < kScreenHeight; ++y) {
        const uint8_t* src = pixels + static_cast<size_t>(y) * kScreenWidth;
        if (scale == 1) PairRow(src, row);
        else if (scale == 2 && stream) DoubledRows<Stream>(src, doubled, row, pitch);
        else if (scale == 2) DoubledRows<Store>(src, doubled, row, pitch);
        else WidenedRows(src, colours, scale, row, pitch);
        row += static_cast<ptrdiff_t>(scale) * pitch;
    }
    if (scale == 2 && stream) StreamDone();
}

void ConvertToArgb(const uint8_t* pixels, const PALETTEENTRY palette[256], void* target, int pitch) {
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] =
            0xFF000000u | uint32_t{palette[i].peRed} << 16 | uint32_t{palette[i].peGreen} << 8 | palette[i].peBlue;
    ConvertScaled(pixels, colours, 1, target, pitch);
}

}  // namespace core
