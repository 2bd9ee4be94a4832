// The pixel copies behind IDirectDrawSurface::Blt: rows, keyed runs and stretches.
#include "winapi/blit.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace {

// The opaque runs [start, end) of each row of a keyed surface, so that a keyed
// 1:1 blit copies spans instead of testing every pixel. Valid while the
// surface's version and key are the ones it was built for.
struct Run {
    int32_t start;
    int32_t end;
};
struct OpaqueRuns {
    uint32_t version = 0;
    int32_t key = -1;
    std::vector<int32_t> rowFirst;  // height + 1 offsets into runs
    std::vector<Run> runs;
    // Rows of many short runs (dithered pictures): there a compare-and-select
    // over the row's span is cheaper than one copy per run.
    std::vector<uint8_t> dense;
};

// A row counts as dense when its runs average under this many pixels.
constexpr int kDenseRunLength = 32;

std::unordered_map<const IDirectDrawSurface*, OpaqueRuns>& RunCaches() {
    static std::unordered_map<const IDirectDrawSurface*, OpaqueRuns> caches;
    return caches;
}

// The runs of `pixels` (width x height, pitch = width) that are not `key`,
// rebuilt only when the pixels or the key changed since the last call.
const OpaqueRuns& RunsOf(const IDirectDrawSurface* surface, const uint8_t* pixels, int width, int height,
                         uint32_t version, uint8_t key) {
    OpaqueRuns& cache = RunCaches()[surface];
    if (cache.key == key && cache.version == version && !cache.rowFirst.empty()) return cache;
    cache.version = version;
    cache.key = key;
    cache.runs.clear();
    cache.rowFirst.assign(1, 0);
    cache.dense.assign(static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<size_t>(y) * width;
        int x = 0;
        while (x < width) {
            while (x < width && row[x] == key) ++x;
            const int start = x;
            while (x < width && row[x] != key) ++x;
            if (x > start) cache.runs.push_back({start, x});
        }
        const int32_t first = cache.rowFirst.back(), count = static_cast<int32_t>(cache.runs.size()) - first;
        if (count > 1) {
            const int32_t span = cache.runs.back().end - cache.runs[static_cast<size_t>(first)].start;
            cache.dense[static_cast<size_t>(y)] = count * kDenseRunLength > span;
        }
        cache.rowFirst.push_back(static_cast<int32_t>(cache.runs.size()));
    }
    return cache;
}

// One row or opaque run: fixed-size moves the compiler inlines, the last one
// overlapping, instead of a library call for every short span.
inline void CopySpan(uint8_t* to, const uint8_t* from, size_t n) {
    if (n >= 16) {
        for (size_t i = 0; i + 16 <= n; i += 16) std::memcpy(to + i, from + i, 16);
        std::memcpy(to + n - 16, from + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else {
        for (size_t i = 0; i < n; ++i) to[i] = from[i];
    }
}

// One block of a keyed copy: where the source holds the key, the destination
// keeps its pixel. Done twice over the same bytes it gives the same result,
// so the last block of a span may overlap the one before it.
typedef uint8_t Bytes8 __attribute__((vector_size(8)));
typedef uint8_t Bytes16 __attribute__((vector_size(16)));

template <typename Block>
inline void SelectBlock(uint8_t* to, const uint8_t* from, uint8_t key) {
    Block s, d;
    std::memcpy(&s, from, sizeof s);
    std::memcpy(&d, to, sizeof d);
    const Block keep = reinterpret_cast<Block>(s == key);
    d = (d & keep) | (s & ~keep);
    std::memcpy(to, &d, sizeof d);
}

inline void SelectSpan(uint8_t* to, const uint8_t* from, size_t n, uint8_t key) {
    if (n >= 16) {
        for (size_t i = 0; i + 16 <= n; i += 16) SelectBlock<Bytes16>(to + i, from + i, key);
        SelectBlock<Bytes16>(to + n - 16, from + n - 16, key);
    } else if (n >= 8) {
        SelectBlock<Bytes8>(to, from, key);
        SelectBlock<Bytes8>(to + n - 8, from + n - 8, key);
    } else {
        for (size_t i = 0; i < n; ++i)
            if (from[i] != key) to[i] = from[i];
    }
}

// Keyed 1:1: the source's opaque runs cut to the columns [sx, sx + width).
void CopyRuns(uint8_t* dst, int dstPitch, const uint8_t* src, int srcPitch, const OpaqueRuns& runs, int sx, int sy,
              int width, int height) {
    const int sxEnd = sx + width;
    const uint8_t key = static_cast<uint8_t>(runs.key);
    for (int y = 0; y < height; ++y) {
        const Run* run = runs.runs.data() + runs.rowFirst[sy + y];
        const Run* last = runs.runs.data() + runs.rowFirst[sy + y + 1];
        const uint8_t* from = src + static_cast<size_t>(sy + y) * srcPitch;
        uint8_t* to = dst + static_cast<size_t>(y) * dstPitch;
        if (runs.dense[static_cast<size_t>(sy + y)]) {
            const int a = std::max(run->start, sx);
            const int b = std::min((last - 1)->end, sxEnd);
            if (a < b) SelectSpan(to + (a - sx), from + a, static_cast<size_t>(b - a), key);
            continue;
        }
        for (; run != last; ++run) {
            const int a = std::max(run->start, sx);
            const int b = std::min(run->end, sxEnd);
            if (a < b) CopySpan(to + (a - sx), from + a, static_cast<size_t>(b - a));
        }
    }
}

}  // namespace

namespace winapi {

void CopyRows(uint8_t* dst, int dstPitch, const uint8_t* src, int srcPitch, int width, int height) {
    if (width == dstPitch && width == srcPitch) {
        std::memcpy(dst, src, static_cast<size_t>(width) * height);
        return;
    }
    for (int y = 0; y < height; ++y) {
        CopySpan(dst + static_cast<size_t>(y) * dstPitch, src + static_cast<size_t>(y) * srcPitch, width);
    }
}

void CopyKeyed(uint8_t* dst, int dstPitch, const IDirectDrawSurface* surface, const uint8_t* pixels, int srcWidth,
               int srcHeight, uint32_t version, uint8_t key, int sx, int sy, int width, int height) {
    const OpaqueRuns& runs = RunsOf(surface, pixels, srcWidth, srcHeight, version, key);
    CopyRuns(dst, dstPitch, pixels, srcWidth, runs, sx, sy, width, height);
}

void StretchCopy(uint8_t* dst, int dstPitch, const RECT& d, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                 const uint8_t* src, int srcPitch, const RECT& s, int key) {
    const int64_t dw = int64_t{d.right} - d.left, dh = int64_t{d.bottom} - d.top;
    const int64_t sw = int64_t{s.right} - s.left, sh = int64_t{s.bottom} - s.top;
    std::vector<int32_t> columns(static_cast<size_t>(x1 - x0));
    for (int64_t x = x0; x < x1; ++x) {
        columns[static_cast<size_t>(x - x0)] = static_cast<int32_t>(s.left + (x - d.left) * sw / dw);
    }
    for (int64_t y = y0; y < y1; ++y) {
        const uint8_t* from = src + (s.top + (y - d.top) * sh / dh) * srcPitch;
        uint8_t* to = dst + y * dstPitch + x0;
        if (key < 0) {
            for (size_t i = 0; i < columns.size(); ++i) to[i] = from[columns[i]];
        } else {
            for (size_t i = 0; i < columns.size(); ++i) {
                const uint8_t v = from[columns[i]];
                to[i] = v == key ? to[i] : v;
            }
        }
    }
}

void ForgetRuns(const IDirectDrawSurface* surface) { RunCaches().erase(surface); }

}  // namespace winapi
