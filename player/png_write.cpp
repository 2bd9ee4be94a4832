// 8-bit palette PNG over zlib: the same bytes on every system that has zlib,
// which libpng (absent from the Windows cross toolchain) could not promise.
#include "player/png_write.h"

#include <zlib.h>

#include <cstdio>
#include <vector>

#include "player/output_file.h"

namespace {

constexpr int kCompressionLevel = 3;

void Put32(std::vector<uint8_t>* out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

// Length, type, data and the CRC of type and data.
void PutChunk(std::vector<uint8_t>* out, const char type[4], const std::vector<uint8_t>& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    uLong crc = crc32(0L, out->data() + start, static_cast<uInt>(out->size() - start));
    Put32(out, static_cast<uint32_t>(crc));
}

}  // namespace

namespace player {

bool EncodePalettePng(const uint8_t* pixels, int width, int height, const PALETTEENTRY palette[256],
                      std::vector<uint8_t>* png, std::string* why) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    png->assign(kSignature, kSignature + sizeof kSignature);

    std::vector<uint8_t> header;
    Put32(&header, static_cast<uint32_t>(width));
    Put32(&header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8 bits, palette, deflate, no filter method, no interlace
    PutChunk(png, "IHDR", header);

    std::vector<uint8_t> colours;
    for (int i = 0; i < 256; ++i)
        colours.insert(colours.end(), {palette[i].peRed, palette[i].peGreen, palette[i].peBlue});
    PutChunk(png, "PLTE", colours);

    // Every row unfiltered: a 0 before its indices.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(width + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const uint8_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        raw.insert(raw.end(), row, row + width);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), kCompressionLevel) != Z_OK) {
        *why = "PNG compression failed";
        return false;
    }
    packed.resize(packedSize);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return true;
}

bool WritePalettePng(const std::string& path, const uint8_t* pixels, int width, int height,
                     const PALETTEENTRY palette[256], std::string* why) {
    std::vector<uint8_t> png;
    if (!EncodePalettePng(pixels, width, height, palette, &png, why)) return false;
    OutputFile output;
    if (!OpenOutput(path, OutputKind::kRemade, &output, why)) return false;
    // A write that fails is found by PlaceOutput, which then leaves the old file.
    std::fwrite(png.data(), 1, png.size(), output.stream);
    return PlaceOutput(&output, why);
}

}  // namespace player
