// BMP files made byte by byte for the decoder's tests and the fuzzer's seeds:
// good pictures of every format with the pixels they hold, and malformed ones.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// The fields of a file, written as given so that any of them can be wrong.
struct BmpFields {
    uint32_t headerBytes = 40;  // 12 writes a core header
    int32_t width = 1;
    int32_t height = 1;  // negative: top-down
    uint16_t planes = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t clrUsed = 0;
    std::vector<uint32_t> masks;    // after a 40-byte header, inside a larger one
    std::vector<uint32_t> colours;  // 0x00RRGGBB, one table entry each
    std::vector<uint8_t> data;      // the pixel data as stored
    int64_t offBits = -1;           // -1: right after the colour table
    uint32_t gap = 0;               // junk bytes between the table and the data
    char magic[2] = {'B', 'M'};
};
std::vector<uint8_t> BuildBmp(const BmpFields& fields);

// Pixel values (top-down rows) packed as a file stores them: rows of `bits`
// bits a pixel, bottom-up unless topDown, each padded to 4 bytes.
std::vector<uint8_t> PackRows(int width, int height, int bits, const std::vector<uint32_t>& pixels,
                              bool topDown = false);

struct BmpCase {
    std::string name;  // letters, digits and '_'
    std::vector<uint8_t> bytes;
    bool decodes = false;
    // What a decoded case holds: the size, the first table entries (0x00RRGGBB;
    // the rest of the 256 are black) and the pixels, rows top-down.
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> colours;
    std::vector<uint8_t> indices;  // pictures up to 8 bits
    std::vector<uint32_t> rgb;     // 16, 24 and 32 bits
    // Every shorter prefix of the file must be refused.
    bool prefixesRefused = false;
};

// Test names show the case's name, not its bytes.
void PrintTo(const BmpCase& c, std::ostream* os);

// Every case: good pictures, RLE streams that leave the picture (decoded by
// the clipping rule) and malformed files (refused).
std::vector<BmpCase> BmpCases();
