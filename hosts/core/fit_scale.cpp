// The scale mode fit by our own conversion: the picture's rows widened to
// the target's width (whole factor and smooth step at once), then each row
// of the target a copy of one of them or a blend of two, a row at a time.
#include "hosts/core/fit_scale.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "hosts/core/argb.h"

namespace {

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

// Where a pixel of the target takes its colour along one axis: from the
// picture's pixel `a`, and `b` (the next one) weighing `weight` of 256.
struct Tap {
    uint16_t a;
    uint16_t b;
    uint32_t weight;  // 0: a alone
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
    // Each column's weight in four 16-bit lanes, one a channel, as the
    // processor's vectors blend two pixels at a time.
    std::vector<uint16_t> lanes;
    std::vector<uint32_t> source;  // the picture's row being widened, as pixels
    // Two of the picture's rows at the target's width, by the row's parity:
    // a target row blends two neighbours, and the rows come in order.
    std::vector<uint32_t> widened[2];
    int widenedRow[2] = {-1, -1};
};

Fitting g_fitting;

void FitTo(int width, int height) {
    Fitting& f = g_fitting;
    if (f.width != width || f.height != height) {
        const int factor = std::max(1, std::min(width / kPictureWidth, height / kPictureHeight));
        f.columns = TapsOf(kPictureWidth, factor, width);
        f.rows = TapsOf(kPictureHeight, factor, height);
        f.lanes.clear();
        for (const Tap& tap : f.columns) f.lanes.insert(f.lanes.end(), 4, static_cast<uint16_t>(tap.weight));
        f.source.assign(kPictureWidth, 0);
        for (std::vector<uint32_t>& row : f.widened) row.assign(static_cast<size_t>(width), 0);
        f.width = width;
        f.height = height;
    }
    f.widenedRow[0] = f.widenedRow[1] = -1;  // the colours may have changed
}

// The target is larger than the caches: where its rows lie on 16-byte
// boundaries it is written past them, four pixels a store.
#if defined(__SSE2__)
template <bool kStream>
void Put(uint32_t* out, __m128i four) {
    if (kStream) _mm_stream_si128(reinterpret_cast<__m128i*>(out), four);
    else _mm_storeu_si128(reinterpret_cast<__m128i*>(out), four);
}

// Four pairs of pixels mixed and rounded as Blend does, a channel a 16-bit
// lane: the first two pairs by the weights of `low`, the others by `high`'s.
__m128i BlendFour(__m128i a, __m128i b, __m128i low, __m128i high) {
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128), whole = _mm_set1_epi16(256);
    const __m128i mixedLow =
        _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), _mm_sub_epi16(whole, low)),
                                    _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), low)),
                      half);
    const __m128i mixedHigh =
        _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), _mm_sub_epi16(whole, high)),
                                    _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), high)),
                      half);
    return _mm_packus_epi16(_mm_srli_epi16(mixedLow, 8), _mm_srli_epi16(mixedHigh, 8));
}

// The source row at the target's width, four pixels a turn.
void WidenRow(const uint32_t* source, uint32_t* out) {
    const Fitting& f = g_fitting;
    const Tap* taps = f.columns.data();
    const uint16_t* lanes = f.lanes.data();
    int x = 0;
    for (; x + 4 <= f.width; x += 4) {
        const Tap* t = taps + x;
        const __m128i a = _mm_setr_epi32(static_cast<int>(source[t[0].a]), static_cast<int>(source[t[1].a]),
                                         static_cast<int>(source[t[2].a]), static_cast<int>(source[t[3].a]));
        const __m128i b = _mm_setr_epi32(static_cast<int>(source[t[0].b]), static_cast<int>(source[t[1].b]),
                                         static_cast<int>(source[t[2].b]), static_cast<int>(source[t[3].b]));
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes + 4 * x));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes + 4 * x + 8));
        Put<false>(out + x, BlendFour(a, b, low, high));
    }
    for (; x < f.width; ++x) out[x] = Blend(source[taps[x].a], source[taps[x].b], taps[x].weight);
}

template <bool kStream>
void BlendRow(const uint32_t* a, const uint32_t* b, uint32_t weight, uint32_t* out, int width) {
    const __m128i lanes = _mm_set1_epi16(static_cast<short>(weight));
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
        if (weight == 0) Put<kStream>(out + x, four);
        else
            Put<kStream>(out + x,
                         BlendFour(four, _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x)), lanes, lanes));
    }
    for (; x < width; ++x) out[x] = Blend(a[x], b[x], weight);
}

void RowsDone() { _mm_sfence(); }
#else
void WidenRow(const uint32_t* source, uint32_t* out) {
    const Fitting& f = g_fitting;
    for (int x = 0; x < f.width; ++x) {
        const Tap& tap = f.columns[static_cast<size_t>(x)];
        out[x] = Blend(source[tap.a], source[tap.b], tap.weight);
    }
}

template <bool kStream>
void BlendRow(const uint32_t* a, const uint32_t* b, uint32_t weight, uint32_t* out, int width) {
    if (weight == 0) std::memcpy(out, a, static_cast<size_t>(width) * 4);
    else
        for (int x = 0; x < width; ++x) out[x] = Blend(a[x], b[x], weight);
}

void RowsDone() {}
#endif

// The picture's row `y` at the target's width (a weight of 0 gives pixel a exactly).
const uint32_t* Widened(const uint8_t* pixels, const uint32_t colours[256], int y) {
    Fitting& f = g_fitting;
    uint32_t* out = f.widened[y & 1].data();
    if (f.widenedRow[y & 1] == y) return out;
    const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * kPictureWidth;
    for (int x = 0; x < kPictureWidth; ++x) f.source[static_cast<size_t>(x)] = colours[row[x]];
    WidenRow(f.source.data(), out);
    f.widenedRow[y & 1] = y;
    return out;
}

template <bool kStream>
void FitRows(const uint8_t* pixels, const uint32_t colours[256], uint8_t* target, int pitch) {
    const Fitting& f = g_fitting;
    for (int y = 0; y < f.height; ++y) {
        const Tap& tap = f.rows[static_cast<size_t>(y)];
        const uint32_t* a = Widened(pixels, colours, tap.a);
        const uint32_t* b = tap.weight == 0 ? a : Widened(pixels, colours, tap.b);
        BlendRow<kStream>(a, b, tap.weight, reinterpret_cast<uint32_t*>(target + static_cast<ptrdiff_t>(y) * pitch),
                          f.width);
    }
    RowsDone();
}

}  // namespace

namespace core {

void ConvertFitted(const uint8_t* pixels, const uint32_t colours[256], int width, int height, void* target, int pitch) {
    if (width <= 0 || height <= 0) return;
    const int factor = std::min(width / kPictureWidth, height / kPictureHeight);
    if (factor >= 1 && width == kPictureWidth * factor && height == kPictureHeight * factor)
        return ConvertScaled(pixels, colours, factor, target, pitch);
    FitTo(width, height);
    const bool stream = (reinterpret_cast<uintptr_t>(target) | static_cast<unsigned>(pitch)) % 16 == 0;
    if (stream) FitRows<true>(pixels, colours, static_cast<uint8_t*>(target), pitch);
    else FitRows<false>(pixels, colours, static_cast<uint8_t*>(target), pitch);
}

}  // namespace core
