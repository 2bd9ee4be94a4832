// Writing 8-bit BMP files.
#include "tools/bmpwrite/bmp_write.h"

#include <cstdio>

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::vector<uint8_t> EncodeBmp8(int width, int height, const std::vector<uint8_t>& indices,
                                const PALETTEENTRY palette[256]) {
    const uint32_t stride = (static_cast<uint32_t>(width) + 3) & ~3u;
    const uint32_t dataOffset = 14 + 40 + 256 * 4;
    const uint32_t imageSize = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> out;
    out.reserve(dataOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, dataOffset + imageSize);
    Put32(out, 0);
    Put32(out, dataOffset);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 256);
    Put32(out, 0);
    for (int i = 0; i < 256; ++i) {
        out.push_back(palette[i].peBlue);
        out.push_back(palette[i].peGreen);
        out.push_back(palette[i].peRed);
        out.push_back(0);
    }
    for (int row = height - 1; row >= 0; --row) {
        const uint8_t* src = indices.data() + static_cast<size_t>(row) * static_cast<size_t>(width);
        out.insert(out.end(), src, src + width);
        out.insert(out.end(), stride - static_cast<uint32_t>(width), 0);
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
