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
// within eight from `first`, laid out as the AVX2 turn takes them: each
// one's a and b as offsets from it, and its weights as the byte pairs
// (256 - weight, weight) of each channel where unpacking a and b puts them
// (pixels 0, 1, 4, 5 in `low`, 2, 3, 6, 7 in `high`). A pixel of weight 0
// is its a blended with itself by halves: exact, and both weights fit a byte.
struct Group {
    uint16_t first;
    bool near;  // false: its pixels lie wider apart (a window smaller than the picture)
    alignas(32) uint32_t a[kGroup];
    uint32_t b[kGroup];
    uint8_t low[32];
    uint8_t high[32];
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

// The byte pair of a blend's weights: b weighs `weight` of 256, and 0 is
// a pixel with itself by halves.
void PutWeights(uint32_t weight, uint8_t* pair) {
    pair[0] = static_cast<uint8_t>(weight == 0 ? 128 : 256 - weight);
    pair[1] = static_cast<uint8_t>(weight == 0 ? 128 : weight);
}

std::vector<Group> GroupsOf(const std::vector<Tap>& columns) {
    std::vector<Group> groups;
    for (size_t x = 0; x + kGroup <= columns.size(); x += kGroup) {
        Group g{};
        g.first = columns[x].a;
        g.near = columns[x + kGroup - 1].b - g.first < kGroup;
        for (size_t i = 0; g.near && i < kGroup; ++i) {
            const Tap& tap = columns[x + i];
            g.a[i] = tap.a - g.first;
            g.b[i] = tap.weight == 0 ? g.a[i] : tap.b - g.first;
            uint8_t* pairs = (i & 2) == 0 ? g.low : g.high;
            for (size_t channel = 0; channel < 4; ++channel)
                PutWeights(tap.weight, pairs + (i & 4) * 4 + (i & 1) * 8 + channel * 2);
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
// Eight pairs of pixels mixed and rounded exactly as Blend does, by one
// multiply-add of each channel's byte pair: the pixels as signed bytes (their
// top bit flipped, taking 128 from each), each channel's two weights as
// unsigned bytes summing to 256 (`low` for the pixels unpacked low, `high`
// for the others). The sum, the blend times 256 less 128 * 256, fits a
// signed 16-bit lane (-32768 to 32512); adding that and the half back wraps
// into the unsigned lane exactly.
KAWAUO_AVX2 __m256i BlendEight(__m256i a, __m256i b, __m256i low, __m256i high) {
    const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80)), back = _mm256_set1_epi16(0x8080);
    a = _mm256_xor_si256(a, flip);
    b = _mm256_xor_si256(b, flip);
    const __m256i mixedLow = _mm256_add_epi16(_mm256_maddubs_epi16(low, _mm256_unpacklo_epi8(a, b)), back);
    const __m256i mixedHigh = _mm256_add_epi16(_mm256_maddubs_epi16(high, _mm256_unpackhi_epi8(a, b)), back);
    return _mm256_packus_epi16(_mm256_srli_epi16(mixedLow, 8), _mm256_srli_epi16(mixedHigh, 8));
}

// Eight target pixels a turn: the eight pixels of the row from the group's
// first in one load, each target pixel's a and b picked out of them.
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
        const __m256i a = _mm256_permutevar8x32_epi32(window, _mm256_load_si256(reinterpret_cast<const __m256i*>(g.a)));
        const __m256i b = _mm256_permutevar8x32_epi32(window, _mm256_load_si256(reinterpret_cast<const __m256i*>(g.b)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x),
                            BlendEight(a, b, _mm256_load_si256(reinterpret_cast<const __m256i*>(g.low)),
                                       _mm256_load_si256(reinterpret_cast<const __m256i*>(g.high))));
        x += kGroup;
    }
    for (; x < f.width; ++x) {
        const Tap& t = f.columns[static_cast<size_t>(x)];
        out[x] = Blend(row[t.a], row[t.b], t.weight);
    }
}

KAWAUO_AVX2 void BlendAvx2(const uint32_t* a, const uint32_t* b, uint32_t weight, uint32_t* out, bool stream) {
    const int width = g_fitting.width;
    uint8_t pair[2];
    PutWeights(weight, pair);
    const __m256i weights = _mm256_set1_epi16(static_cast<short>(pair[0] | pair[1] << 8));
    stream = stream && reinterpret_cast<uintptr_t>(out) % 32 == 0;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + x));
        if (weight != 0)
            eight = BlendEight(eight, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + x)), weights, weights);
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
