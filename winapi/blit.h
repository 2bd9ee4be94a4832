// The pixel copies behind IDirectDrawSurface::Blt, on 8-bit palette indices:
// whole rows, a keyed picture's opaque runs, and nearest-neighbour stretches.
#pragma once
#include <cstdint>

#include "winapi/ddraw.h"

namespace winapi {

// Unkeyed 1:1: `height` rows of `width` pixels, one memcpy when the rows are contiguous.
void CopyRows(uint8_t* dst, int dstPitch, const uint8_t* src, int srcPitch, int width, int height);

// Keyed 1:1 from `surface`, whose `pixels` are srcWidth x srcHeight (pitch =
// srcWidth): its part (sx, sy, width, height) onto `dst`, skipping `key`. The
// opaque runs of each row are kept per surface and rebuilt only when its
// `version` or the key changed.
void CopyKeyed(uint8_t* dst, int dstPitch, const IDirectDrawSurface* surface, const uint8_t* pixels, int srcWidth,
               int srcHeight, uint32_t version, uint8_t key, int sx, int sy, int width, int height);

// Nearest-neighbour copy of source rectangle `s` (in `src`) onto destination
// rectangle `d`, drawing only its part [x0, x1) x [y0, y1); key < 0 copies all.
void StretchCopy(uint8_t* dst, int dstPitch, const RECT& d, int64_t x0, int64_t y0, int64_t x1, int64_t y1,
                 const uint8_t* src, int srcPitch, const RECT& s, int key);

// Drops what CopyKeyed kept about a surface; called when the surface goes.
void ForgetRuns(const IDirectDrawSurface* surface);

}  // namespace winapi
