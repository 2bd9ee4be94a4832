// The scale mode fit by our own conversion: the picture as pixels at its own
// size, its rows widened to the target's width (whole factor and smooth step
// at once), then each row of the target a copy of one of them or a blend of
// two, a row at a time; in AVX2's vectors where the processor has them.
#include "hosts/core/fit_scale.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "hosts/core/argb.h"

// AVX2 where the processor is one that may have it, used when it does.
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#define KAWAUO_FIT_AVX2 1
#define KAWAUO_AVX2 __attribute__((target("avx2")))
#endif

namespace {

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;
constexpr int kGroup = 8;  // target pixels an AVX2 turn widens

// Where a pixel of the target takes its colour along one axis: from the
// picture's pixel `a`, and `b` (the next one) weighing `weight` of 256.
struct Tap {
    uint16_t a;
    uint16_t b;
    uint32_t weight;  // 0: a alone
};

// Eight neighbouring target pixels of a row whose pixels of the picture lie
// within eight from `first`: each one's a and b as offsets from it.
struct Group {
    uint16_t first;
    bool near;  // false: its pixels lie wider apart (a window smaller than the picture)
    uint8_t a[kGroup];
    uint8_t b[kGroup];
    uint16_t weight[kGroup];
};

// The taps of `size` target pixels along an axis of `picture` pixels
// enlarged `factor` times: the centre of each in the enlarged picture, in
// 256ths of its pixels; past the first and the last centre, the edge pixel.
// Two neighbours of the enlarged picture are one pixel of the picture but
// where a whole pixel ends: only there is anything blended.
std::vector<Tap> TapsOf(int picture, int factor, int size) {
    const int64_t sharp = int64_t{picture} * factor;
    std::vector<Tap> taps(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i) {
        const int64_t centre = ((2 * int64_t{i} + 1) * sharp * 256 - 255 * int64_t{size}) / (2 * int64_t{size});
        const int64_t at = std::clamp<int64_t>(centre, 0, (sharp - 1) * 256);
        const int64_t left = at >> 8, right = std::min(left + 1, sharp - 1);
        Tap& tap = taps[static_cast<size_t>(i)];
        tap.a = static_cast<uint16_t>(left / factor);
        tap.b = static_cast<uint16_t>(right / factor);
        tap.weight = tap.a == tap.b ? 0 : static_cast<uint32_t>(at & 255);
    }
    return taps;
}

std::vector<Group> GroupsOf(const std::vector<Tap>& columns) {
    std::vector<Group> groups;
    for (size_t x = 0; x + kGroup <= columns.size(); x += kGroup) {
        Group g{};
        g.first = columns[x].a;
        g.near = columns[x + kGroup - 1].b - g.first < kGroup;
        for (size_t i = 0; g.near && i < kGroup; ++i) {
            g.a[i] = static_cast<uint8_t>(columns[x + i].a - g.first);
            g.b[i] = static_cast<uint8_t>(columns[x + i].b - g.first);
            g.weight[i] = static_cast<uint16_t>(columns[x + i].weight);
        }
        groups.push_back(g);
    }
    return groups;
}

// Two pixels mixed, `b` weighing `weight` of 256, rounded: two channels at a
// time, each in 16 bits of its own (255 * 256 + 128 fits, so none carries
// into the next).
uint32_t Blend(uint32_t a, uint32_t b, uint32_t weight) {
    constexpr uint32_t kHalves = 0x00800080u;
    const uint32_t keep = 256 - weight;
    const uint32_t redBlue = (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight + kHalves) >> 8) & 0x00FF00FFu;
    const uint32_t alphaGreen =
        (((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight + kHalves) & 0xFF00FF00u;
    return redBlue | alphaGreen;
}

struct Fitting {
    int width = 0;
    int height = 0;
    std::vector<Tap> columns;
    std::vector<Tap> rows;
    std::vector<Group> groups;
    // The picture as pixels, a pixel more at the end: a pair read at the
    // last pixel reads one past it, a group's window up to seven.
    std::vector<uint32_t> picture = std::vector<uint32_t>(size_t{kPictureWidth} * kPictureHeight + kGroup);
    // Two of the picture's rows at the target's width, by the row's parity:
    // a target row blends two neighbours, and the rows come in order.
    std::vector<uint32_t> widened[2];
    int widenedRow[2] = {-1, -1};
};

Fitting g_fitting;

void FitTo(int width, int height) {
    Fitting& f = g_fitting;
    if (f.width == width && f.height == height) return;
    const int factor = std::max(1, std::min(width / kPictureWidth, height / kPictureHeight));
    f.columns = TapsOf(kPictureWidth, factor, width);
    f.rows = TapsOf(kPictureHeight, factor, height);
    f.groups = GroupsOf(f.columns);
    for (std::vector<uint32_t>& row : f.widened) row.assign(static_cast<size_t>(width), 0);
    f.width = width;
    f.height = height;
}

// The kernels: a row of the picture widened, and a target row made of two
// widened rows (a copy where the weight is 0), written past the caches
// where `stream` (the target is larger than they are).
struct Kernels {
    void (*widen)(const uint32_t* row, uint32_t* out);
    void (*blend)(const uint32_t* a, const uint32_t* b, uint32_t weight, uint32_t* out, bool stream);
};

void WidenPlain(const uint32_t* row, uint32_t* out) {
    const Fitting& f = g_fitting;
    for (int x = 0; x < f.width; ++x) {
        const Tap& tap = f.columns[static_cast<size_t>(x)];
        out[x] = Blend(row[tap.a], row[tap.b], tap.weight);
    }
}

void BlendPlain(const uint32_t* a, const uint32_t* b, uint32_t weight, uint32_t* out, bool) {
    const int width = g_fitting.width;
    if (weight == 0) std::memcpy(out, a, static_cast<size_t>(width) * 4);
    else
        for (int x = 0; x < width; ++x) out[x] = Blend(a[x], b[x], weight);
}

constexpr Kernels kPlain{WidenPlain, BlendPlain};

#if defined(KAWAUO_FIT_AVX2)
// Eight pairs of pixels mixed and rounded as Blend does, a channel a 16-bit
// lane: in each half of the registers, its first two pairs by the weights of
// `low`, the others by `high`'s (as the halves unpack them).
KAWAUO_AVX2 __m256i BlendEight(__m256i a, __m256i b, __m256i low, __m256i high) {
    const __m256i zero = _mm256_setzero_si256(), half = _mm256_set1_epi16(128), whole = _mm256_set1_epi16(256);
    const __m256i mixedLow = _mm256_add_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(a, zero), _mm256_sub_epi16(whole, low)),
                         _mm256_mullo_epi16(_mm256_unpacklo_epi8(b, zero), low)),
        half);
    const __m256i mixedHigh = _mm256_add_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(a, zero), _mm256_sub_epi16(whole, high)),
                         _mm256_mullo_epi16(_mm256_unpackhi_epi8(b, zero), high)),
        half);
    return _mm256_packus_epi16(_mm256_srli_epi16(mixedLow, 8), _mm256_srli_epi16(mixedHigh, 8));
}

// Eight target pixels a turn: the eight pixels of the row from the group's
// first in one load, each target pixel's a and b picked out of them, and
// the weights spread to the lanes as the halves unpack them (pixels 0, 1,
// 4, 5 in `low`, 2, 3, 6, 7 in `high`).
KAWAUO_AVX2 void WidenAvx2(const uint32_t* row, uint32_t* out) {
    const Fitting& f = g_fitting;
    int x = 0;
    for (const Group& g : f.groups) {
        if (!g.near) {
            for (int i = 0; i < kGroup; ++i) {
                const Tap& t = f.columns[static_cast<size_t>(x + i)];
                out[x + i] = Blend(row[t.a], row[t.b], t.weight);
            }
            x += kGroup;
            continue;
        }
        const __m256i window = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + g.first));
        const __m256i a = _mm256_permutevar8x32_epi32(
            window, _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(g.a))));
        const __m256i b = _mm256_permutevar8x32_epi32(
            window, _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(g.b))));
        const __m256i each = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(g.weight)));
        const __m256i twice = _mm256_or_si256(each, _mm256_slli_epi32(each, 16));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x),
                            BlendEight(a, b, _mm256_unpacklo_epi32(twice, twice), _mm256_unpackhi_epi32(twice, twice)));
        x += kGroup;
    }
    for (; x < f.width; ++x) {
        const Tap& t = f.columns[static_cast<size_t>(x)];
        out[x] = Blend(row[t.a], row[t.b], t.weight);
    }
}

KAWAUO_AVX2 void BlendAvx2(const uint32_t* a, const uint32_t* b, uint32_t weight, uint32_t* out, bool stream) {
    const int width = g_fitting.width;
    const __m256i lanes = _mm256_set1_epi16(static_cast<short>(weight));
    stream = stream && reinterpret_cast<uintptr_t>(out) % 32 == 0;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + x));
        if (weight != 0)
            eight = BlendEight(eight, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + x)), lanes, lanes);
        if (stream) _mm256_stream_si256(reinterpret_cast<__m256i*>(out + x), eight);
        else _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), eight);
    }
    for (; x < width; ++x) out[x] = Blend(a[x], b[x], weight);
}

constexpr Kernels kAvx2{WidenAvx2, BlendAvx2};
#endif

const Kernels* Widest() {
#if defined(KAWAUO_FIT_AVX2)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return &kAvx2;
#endif
    return &kPlain;
}

const Kernels* g_kernels = Widest();

// The picture's row `y` at the target's width (a weight of 0 gives pixel a exactly).
const uint32_t* Widened(int y) {
    Fitting& f = g_fitting;
    uint32_t* out = f.widened[y & 1].data();
    if (f.widenedRow[y & 1] == y) return out;
    g_kernels->widen(f.picture.data() + static_cast<ptrdiff_t>(y) * kPictureWidth, out);
    f.widenedRow[y & 1] = y;
    return out;
}

}  // namespace

namespace core {

void ConvertFitted(const uint8_t* pixels, const uint32_t colours[256], int width, int height, void* target, int pitch) {
    if (width <= 0 || height <= 0) return;
    const int factor = std::min(width / kPictureWidth, height / kPictureHeight);
    if (factor >= 1 && width == kPictureWidth * factor && height == kPictureHeight * factor)
        return ConvertScaled(pixels, colours, factor, target, pitch);
    Fitting& f = g_fitting;
    FitTo(width, height);
    ConvertScaled(pixels, colours, 1, f.picture.data(), kPictureWidth * 4);
    f.widenedRow[0] = f.widenedRow[1] = -1;  // the picture is new
    const bool stream = (reinterpret_cast<uintptr_t>(target) | static_cast<unsigned>(pitch)) % 16 == 0;
    for (int y = 0; y < f.height; ++y) {
        const Tap& tap = f.rows[static_cast<size_t>(y)];
        const uint32_t* a = Widened(tap.a);
        const uint32_t* b = tap.weight == 0 ? a : Widened(tap.b);
        g_kernels->blend(a, b, tap.weight,
                         reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target) + static_cast<ptrdiff_t>(y) * pitch),
                         stream);
    }
#if defined(__SSE2__)
    if (stream) _mm_sfence();  // the streamed stores seen by whoever reads next
#endif
}

void UseFitInstructions(FitInstructions set) { g_kernels = set == FitInstructions::kWidest ? Widest() : &kPlain; }

}  // namespace core
