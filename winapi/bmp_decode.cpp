// Reading Windows BMP files: headers, colour tables, packed rows and RLE.
#include "winapi/bmp_decode.h"

#include <utility>

// What this reader accepts, and the choices it makes where files disagree:
// - "BM", then a 12-byte core header (RGBTRIPLE table, always bottom-up) or
//   an info header of 40, 52, 56, 108 or 124 bytes (the larger ones are read
//   only for their colour masks). Planes must be 1.
// - Bit counts 1, 4, 8, 16, 24, 32. BI_RGB for all; RLE8 only at 8 bits and
//   RLE4 only at 4, bottom-up; BI_BITFIELDS only at 16 and 32 bits, with
//   non-zero, contiguous, non-overlapping masks inside the pixel.
// - The pixel data starts at the file header's offset, which must lie past
//   the headers and masks and inside the file. Packed rows must all be there,
//   padding included; biSizeImage is ignored for them.
// - Up to 8 bits, biClrUsed (0 = all) may not exceed 1 << bits; the table is
//   padded to 256 entries with black, so any index reads a colour.
// - RLE: the stream is biSizeImage bytes (or up to the end of the file when
//   that is 0 or reaches past it). Pixels the stream never writes are index
//   0. Pixels past the right edge are dropped (a run never wraps to the next
//   row). When an end of line or a delta moves past the last row, decoding
//   stops there and the picture is kept. A stream that runs out before the
//   end-of-bitmap mark or the last row, or inside a command, is refused.

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kFileHeaderBytes = 14;

uint32_t U16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

// One colour component of a 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint64_t max = 0;
};

bool MakeChannel(uint32_t mask, int bits, Channel* out) {
    if (mask == 0) return false;
    if (bits < 32 && (mask >> bits) != 0) return false;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0) return false;  // not one contiguous run of ones
    *out = Channel{mask, shift, run};
    return true;
}

uint32_t Scale(uint32_t pixel, const Channel& c) {
    const uint64_t v = (pixel & c.mask) >> c.shift;
    return static_cast<uint32_t>((v * 255 + c.max / 2) / c.max);
}

struct Layout {
    int32_t width = 0;
    int32_t height = 0;  // rows, always positive
    bool topDown = false;
    int bits = 0;
    uint32_t compression = kBiRgb;
    size_t tableOffset = 0;
    size_t tableEntries = 0;
    size_t entryBytes = 4;
    size_t dataOffset = 0;
    uint32_t sizeImage = 0;
    Channel channels[3];  // red, green, blue for 16 and 32 bits
};

bool ValidBits(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

bool ValidCompression(uint32_t compression, int bits) {
    switch (compression) {
        case kBiRgb: return true;
        case kBiRle8: return bits == 8;
        case kBiRle4: return bits == 4;
        case kBiBitfields: return bits == 16 || bits == 32;
        default: return false;
    }
}

// Reads and checks everything before the pixel data.
bool ParseLayout(const uint8_t* d, size_t size, Layout* l) {
    if (size < kFileHeaderBytes + 4 || d[0] != 'B' || d[1] != 'M') return false;
    const uint32_t offBits = U32(d + 10);
    const uint8_t* h = d + kFileHeaderBytes;
    const uint32_t headerBytes = U32(h);
    const bool core = headerBytes == 12;
    if (!core && headerBytes != 40 && headerBytes != 52 && headerBytes != 56 && headerBytes != 108 &&
        headerBytes != 124)
        return false;
    if (size - kFileHeaderBytes < headerBytes) return false;

    int64_t width, height;
    uint32_t planes, clrUsed = 0;
    if (core) {
        width = U16(h + 4);
        height = U16(h + 6);
        planes = U16(h + 8);
        l->bits = static_cast<int>(U16(h + 10));
        l->entryBytes = 3;
        if (l->bits == 16 || l->bits == 32) return false;
    } else {
        width = I32(h + 4);
        height = I32(h + 8);
        planes = U16(h + 12);
        l->bits = static_cast<int>(U16(h + 14));
        l->compression = U32(h + 16);
        l->sizeImage = U32(h + 20);
        clrUsed = U32(h + 32);
    }
    if (planes != 1 || !ValidBits(l->bits) || !ValidCompression(l->compression, l->bits)) return false;
    l->topDown = height < 0;
    if (l->topDown) height = -height;  // int64_t: safe for INT32_MIN
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels)
        return false;
    if (l->topDown && (l->compression == kBiRle8 || l->compression == kBiRle4)) return false;
    l->width = static_cast<int32_t>(width);
    l->height = static_cast<int32_t>(height);

    size_t headersEnd = kFileHeaderBytes + headerBytes;
    uint32_t masks[3] = {0, 0, 0};
    if (l->compression == kBiBitfields) {
        const uint8_t* m = h + 40;
        if (headerBytes == 40) {  // the masks follow a plain info header
            if (size - headersEnd < 12) return false;
            m = d + headersEnd;
            headersEnd += 12;
        }
        for (int i = 0; i < 3; ++i) masks[i] = U32(m + 4 * i);
    } else if (l->bits == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (l->bits == 32) {
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    }
    if (l->bits == 16 || l->bits == 32) {
        for (int i = 0; i < 3; ++i)
            if (!MakeChannel(masks[i], l->bits, &l->channels[i])) return false;
        if ((masks[0] & masks[1]) | (masks[0] & masks[2]) | (masks[1] & masks[2])) return false;
    }

    l->tableOffset = headersEnd;
    if (l->bits <= 8) {
        const uint32_t full = 1u << l->bits;
        if (clrUsed > full) return false;
        l->tableEntries = clrUsed != 0 ? clrUsed : full;
        if ((size - headersEnd) / l->entryBytes < l->tableEntries) return false;
    }
    if (offBits < headersEnd || offBits > size) return false;
    l->dataOffset = offBits;
    return true;
}

// The file's table into `colours`, which keeps its length past the table.
void ReadColours(const uint8_t* d, const Layout& l, std::vector<PALETTEENTRY>* colours) {
    for (size_t i = 0; i < l.tableEntries; ++i) {
        const uint8_t* e = d + l.tableOffset + i * l.entryBytes;
        (*colours)[i] = PALETTEENTRY{e[2], e[1], e[0], 0};
    }
}

size_t Stride(const Layout& l) { return (static_cast<size_t>(l.width) * static_cast<size_t>(l.bits) + 31) / 32 * 4; }

// Top-down row index of the file's row r.
size_t DestRow(const Layout& l, int32_t r) { return static_cast<size_t>(l.topDown ? r : l.height - 1 - r); }

bool DecodePacked(const uint8_t* d, size_t size, const Layout& l, DecodedBitmap* out) {
    const size_t stride = Stride(l);
    if ((size - l.dataOffset) / stride < static_cast<size_t>(l.height)) return false;
    const size_t w = static_cast<size_t>(l.width);
    if (l.bits <= 8) out->indices.resize(w * static_cast<size_t>(l.height));
    else out->rgb.resize(w * static_cast<size_t>(l.height));
    for (int32_t r = 0; r < l.height; ++r) {
        const uint8_t* row = d + l.dataOffset + static_cast<size_t>(r) * stride;
        const size_t base = DestRow(l, r) * w;
        for (size_t x = 0; x < w; ++x) {
            switch (l.bits) {
                case 1: out->indices[base + x] = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
                case 4: out->indices[base + x] = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF; break;
                case 8: out->indices[base + x] = row[x]; break;
                case 24: {
                    const uint8_t* p = row + 3 * x;
                    out->rgb[base + x] = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
                    break;
                }
                default: {
                    const uint32_t px = l.bits == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
                    out->rgb[base + x] =
                        Scale(px, l.channels[0]) << 16 | Scale(px, l.channels[1]) << 8 | Scale(px, l.channels[2]);
                    break;
                }
            }
        }
    }
    return true;
}

// RLE8 and RLE4, bottom-up only; the rules are at the top of this file.
bool DecodeRle(const uint8_t* d, size_t size, const Layout& l, DecodedBitmap* out) {
    const bool rle4 = l.compression == kBiRle4;
    const int32_t w = l.width;
    size_t pos = l.dataOffset;
    size_t end = size;
    if (l.sizeImage != 0 && l.sizeImage < size - pos) end = pos + l.sizeImage;
    out->indices.assign(static_cast<size_t>(w) * static_cast<size_t>(l.height), 0);
    int32_t x = 0, y = 0;  // y counts rows from the bottom
    // Callers stop at the right edge, so x never passes w.
    auto put = [&](uint8_t index) {
        out->indices[DestRow(l, y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = index;
        ++x;
    };
    for (;;) {
        if (end - pos < 2) return false;
        const uint8_t count = d[pos], value = d[pos + 1];
        pos += 2;
        if (count != 0) {  // a run of one index (RLE4: two alternating)
            for (int i = 0; i < count && x < w; ++i)
                put(rle4 ? static_cast<uint8_t>((i & 1) ? value & 0xF : value >> 4) : value);
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                if (++y >= l.height) return true;
                break;
            case 1: return true;  // end of bitmap
            case 2: {             // delta
                if (end - pos < 2) return false;
                const int32_t dx = d[pos], dy = d[pos + 1];
                pos += 2;
                x = x + dx < w ? x + dx : w;
                y += dy;
                if (y >= l.height) return true;
                break;
            }
            default: {  // absolute run of `value` pixels, padded to a word
                const size_t bytes = rle4 ? (value + 1u) / 2 : value;
                const size_t padded = (bytes + 1) & ~size_t{1};
                if (end - pos < padded) return false;
                for (int i = 0; i < value && x < w; ++i) {
                    const uint8_t b = d[pos + (rle4 ? static_cast<size_t>(i) / 2 : static_cast<size_t>(i))];
                    put(rle4 ? static_cast<uint8_t>((i & 1) ? b & 0xF : b >> 4) : b);
                }
                pos += padded;
                break;
            }
        }
    }
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, DecodedBitmap* out) {
    DecodedBitmap result;
    Layout l;
    bool ok = data != nullptr && ParseLayout(data, size, &l);
    if (ok) {
        if (l.bits <= 8) {
            result.colours.assign(256, PALETTEENTRY{0, 0, 0, 0});
            ReadColours(data, l, &result.colours);
        }
        ok = (l.compression == kBiRle8 || l.compression == kBiRle4) ? DecodeRle(data, size, l, &result)
                                                                    : DecodePacked(data, size, l, &result);
    }
    if (ok) {
        result.width = l.width;
        result.height = l.height;
    }
    *out = ok ? std::move(result) : DecodedBitmap{};
    return ok;
}

bool ReadBmpHeader(const uint8_t* data, size_t size, BmpHeader* out) {
    *out = BmpHeader{};
    Layout l;
    if (data == nullptr || !ParseLayout(data, size, &l)) return false;
    out->width = l.width;
    out->height = l.height;
    out->bits = l.bits;
    out->table.resize(l.tableEntries);
    ReadColours(data, l, &out->table);
    return true;
}
