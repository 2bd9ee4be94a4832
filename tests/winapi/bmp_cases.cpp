// The BMP test files: a byte builder and the table of good and malformed cases.
#include "tests/winapi/bmp_cases.h"

#include <utility>

#include "tools/bmpwrite/bmp_write.h"

namespace {

constexpr uint32_t kRle8 = 1, kRle4 = 2, kBitfields = 3;

// n distinct colours whose red, green and blue all differ, so a swapped
// channel or a shifted table shows.
std::vector<uint32_t> Palette(int n) {
    std::vector<uint32_t> colours;
    for (int i = 0; i < n; ++i)
        colours.push_back(static_cast<uint32_t>((i * 37 + 11) & 0xFF) << 16 |
                          static_cast<uint32_t>((i * 91 + 5) & 0xFF) << 8 |
                          static_cast<uint32_t>((i * 53 + 200) & 0xFF));
    return colours;
}

// A picture of indices below n that differs in every row and column.
std::vector<uint32_t> Pattern(int width, int height, int n) {
    std::vector<uint32_t> v;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) v.push_back(static_cast<uint32_t>((x * 7 + y * 3 + x * y) % n));
    return v;
}

std::vector<uint8_t> Bytes(const std::vector<uint32_t>& v) { return std::vector<uint8_t>(v.begin(), v.end()); }

BmpCase Bad(std::string name, std::vector<uint8_t> bytes) {
    BmpCase c;
    c.name = std::move(name);
    c.bytes = std::move(bytes);
    return c;
}

BmpCase Good(std::string name, const BmpFields& fields) {
    BmpCase c = Bad(std::move(name), BuildBmp(fields));
    c.decodes = true;
    c.prefixesRefused = true;
    c.width = fields.width;
    c.height = fields.height < 0 ? -fields.height : fields.height;
    return c;
}

BmpCase Indexed(std::string name, const BmpFields& fields, std::vector<uint8_t> indices) {
    BmpCase c = Good(std::move(name), fields);
    c.colours = fields.colours;
    c.indices = std::move(indices);
    return c;
}

// A case whose file goes on after the picture ends.
BmpCase Trailing(BmpCase c) {
    c.prefixesRefused = false;
    return c;
}

// A packed indexed picture of `pixels`, decoded as written.
BmpCase Packed(std::string name, BmpFields fields, const std::vector<uint32_t>& pixels) {
    fields.data = PackRows(fields.width, fields.height < 0 ? -fields.height : fields.height, fields.bits, pixels,
                           fields.height < 0);
    return Indexed(std::move(name), fields, Bytes(pixels));
}

BmpCase TrueColour(std::string name, BmpFields fields, const std::vector<uint32_t>& stored, std::vector<uint32_t> rgb) {
    fields.data = PackRows(fields.width, fields.height < 0 ? -fields.height : fields.height, fields.bits, stored,
                           fields.height < 0);
    BmpCase c = Good(std::move(name), fields);
    c.rgb = std::move(rgb);
    return c;
}

// An 8-bit 3x2 picture, the base most malformed cases change one field of.
BmpFields Small8() {
    BmpFields s;
    s.width = 3;
    s.height = 2;
    s.colours = Palette(4);
    s.clrUsed = 4;
    s.data = PackRows(3, 2, 8, {0, 1, 2, 3, 2, 1});
    return s;
}

// The same with a core header, whose table is always full.
BmpFields SmallCore() {
    BmpFields s = Small8();
    s.headerBytes = 12;
    s.colours = Palette(256);
    return s;
}

// A 16-bit 2x1 picture with 5-6-5 masks after a 40-byte header.
BmpFields Small565() {
    BmpFields s;
    s.width = 2;
    s.bits = 16;
    s.compression = kBitfields;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.data = PackRows(2, 1, 16, {0xF800, 0x001F});
    return s;
}

// An RLE8 picture of width w and height h from its stream.
BmpFields Rle8(int32_t w, int32_t h, std::vector<uint8_t> stream) {
    BmpFields s;
    s.width = w;
    s.height = h;
    s.compression = kRle8;
    s.colours = Palette(16);
    s.clrUsed = 16;
    s.data = std::move(stream);
    return s;
}

BmpFields Rle4(int32_t w, int32_t h, std::vector<uint8_t> stream) {
    BmpFields s = Rle8(w, h, std::move(stream));
    s.bits = 4;
    s.compression = kRle4;
    return s;
}

template <typename F>
BmpCase Altered(std::string name, BmpFields fields, F change) {
    change(fields);
    return Bad(std::move(name), BuildBmp(fields));
}

void AddGood(std::vector<BmpCase>& cases) {
    BmpFields s;
    s.width = 10, s.height = 3, s.bits = 1, s.colours = Palette(2);
    cases.push_back(Packed("good_1bit_10x3", s, Pattern(10, 3, 2)));
    // Hand-packed bytes: the first pixel is the high bit.
    s = BmpFields{};
    s.width = 8, s.height = 2, s.bits = 1, s.colours = Palette(2), s.data = {0xA5, 0, 0, 0, 0x0F, 0, 0, 0};
    cases.push_back(Indexed("good_1bit_msb_first", s, {0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 1, 0, 0, 1, 0, 1}));
    s = BmpFields{};
    s.width = 3, s.height = 1, s.bits = 4, s.colours = Palette(16), s.data = {0x12, 0x30, 0, 0};
    cases.push_back(Indexed("good_4bit_high_nibble_first", s, {1, 2, 3}));
    // A 6-colour table; indices 9 and 15 lie past it and read black.
    s = BmpFields{};
    s.width = 5, s.height = 3, s.bits = 4, s.colours = Palette(6), s.clrUsed = 6;
    cases.push_back(Packed("good_4bit_short_table", s, {0, 1, 2, 3, 4, 5, 9, 15, 0, 1, 2, 3, 4, 5, 9}));
    s = BmpFields{};
    s.width = 3, s.height = 2, s.colours = Palette(256);
    cases.push_back(Packed("good_8bit_bottom_up", s, {0, 17, 255, 128, 1, 254}));
    s.height = -2;
    cases.push_back(Packed("good_8bit_top_down", s, {0, 17, 255, 128, 1, 254}));
    s = Small8();
    cases.push_back(Packed("good_8bit_index_past_table", s, {3, 200, 255, 4, 0, 1}));
    s.gap = 6;
    cases.push_back(Packed("good_8bit_gap_before_data", s, {1, 2, 3, 0, 1, 2}));
    s = Small8();
    s.headerBytes = 124, s.sizeImage = 99999;  // BI_RGB ignores the size field
    cases.push_back(Packed("good_8bit_v5_header", s, {1, 2, 3, 3, 2, 1}));
    s.headerBytes = 52;
    cases.push_back(Packed("good_8bit_52_byte_header", s, {3, 3, 2, 2, 1, 1}));

    s = BmpFields{};
    s.width = 3, s.height = 2, s.bits = 16;
    cases.push_back(TrueColour("good_16bit_555", s, {0x7FFF, 0x7C00, 0x03E0, 0x001F, 0x4210, 0x8000},
                               {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x848484, 0x000000}));
    s.compression = kBitfields, s.masks = {0xF800, 0x07E0, 0x001F};
    const std::vector<uint32_t> stored565 = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0400, 0x0000};
    const std::vector<uint32_t> rgb565 = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x008200, 0x000000};
    cases.push_back(TrueColour("good_16bit_565_masks_after_header", s, stored565, rgb565));
    s.headerBytes = 108;
    cases.push_back(TrueColour("good_16bit_565_v4_header", s, stored565, rgb565));
    s.headerBytes = 52, s.height = -2;
    cases.push_back(TrueColour("good_16bit_565_top_down", s, stored565, rgb565));

    s = BmpFields{};
    s.width = 3, s.height = 3, s.bits = 24;
    cases.push_back(TrueColour("good_24bit_3x3", s, Palette(9), Palette(9)));
    s = BmpFields{};
    s.width = 2, s.height = 2, s.bits = 32;  // the fourth byte is ignored
    cases.push_back(TrueColour("good_32bit", s, {0xFF123456, 0x00ABCDEF, 0x7F000001, 0x80FFFFFF},
                               {0x123456, 0xABCDEF, 0x000001, 0xFFFFFF}));
    s.compression = kBitfields, s.headerBytes = 124, s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    cases.push_back(TrueColour("good_32bit_masks_swapped_v5", s, {0x00332211, 0xFF0000FF, 0, 0x00FFFFFF},
                               {0x112233, 0xFF0000, 0, 0xFFFFFF}));
    s.headerBytes = 56, s.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    cases.push_back(TrueColour("good_32bit_10bit_masks", s, {0x3FF00000, 0x00080000, 0x000003FF, 0x3FFFFFFF},
                               {0xFF0000, 0x008000, 0x0000FF, 0xFFFFFF}));

    for (int bits : {1, 4, 8}) {
        s = BmpFields{};
        s.headerBytes = 12, s.width = 7, s.height = 3, s.bits = static_cast<uint16_t>(bits);
        s.colours = Palette(1 << bits);
        cases.push_back(Packed("good_core_" + std::to_string(bits) + "bit", s, Pattern(7, 3, 1 << bits)));
    }
    s = BmpFields{};
    s.headerBytes = 12, s.width = 3, s.height = 2, s.bits = 24;
    cases.push_back(TrueColour("good_core_24bit", s, Palette(6), Palette(6)));
}

void AddRle(std::vector<BmpCase>& cases) {
    // Run, absolute run with its pad byte, end of line, delta, end of bitmap.
    cases.push_back(Indexed("rle8_all_commands",
                            Rle8(6, 3, {3, 4, 0, 3, 5, 6, 7, 0, 0, 0, 2, 8, 0, 2, 2, 1, 2, 9, 0, 1}),
                            {0, 0, 0, 0, 9, 9, 8, 8, 0, 0, 0, 0, 4, 4, 4, 5, 6, 7}));
    cases.push_back(Indexed("rle4_all_commands", Rle4(7, 3, {4, 0x12, 0,    3, 0x34, 0x50, 0, 0, 0, 5, 0x67, 0x89, 0xA0,
                                                             0, 2,    0xBB, 0, 0,    0,    2, 1, 0, 1, 0xC0, 0,    1}),
                            {0, 12, 0, 0, 0, 0, 0, 6, 7, 8, 9, 10, 11, 11, 1, 2, 1, 2, 3, 4, 5}));
    // Never-written pixels are index 0, whatever colour that is.
    cases.push_back(
        Indexed("rle8_unwritten_pixels_zero", Rle8(4, 2, {0, 2, 1, 0, 2, 3, 0, 1}), {0, 0, 0, 0, 0, 3, 3, 0}));
    // Runs never wrap into the next row.
    cases.push_back(Indexed("rle8_run_past_right_edge", Rle8(3, 2, {255, 7, 0, 0, 2, 5, 0, 1}), {5, 5, 0, 7, 7, 7}));
    cases.push_back(Indexed("rle8_absolute_past_right_edge", Rle8(3, 2, {0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 1, 6, 0, 1}),
                            {6, 0, 0, 1, 2, 3}));
    cases.push_back(Indexed("rle4_run_past_right_edge", Rle4(3, 1, {9, 0x12, 0, 1}), {1, 2, 1}));
    cases.push_back(Indexed("rle4_absolute_past_right_edge", Rle4(3, 1, {0, 6, 0x12, 0x34, 0x56, 0, 0, 1}), {1, 2, 3}));
    cases.push_back(Indexed("rle8_delta_past_right_edge", Rle8(3, 2, {1, 1, 0, 2, 200, 0, 4, 9, 0, 0, 1, 2, 0, 1}),
                            {2, 0, 0, 1, 0, 0}));
    // The longest sides there are.
    cases.push_back(Indexed("rle8_width_16384", Rle8(16384, 1, {0, 1}), std::vector<uint8_t>(16384, 0)));
    cases.push_back(Indexed("rle8_height_16384", Rle8(1, 16384, {0, 1}), std::vector<uint8_t>(16384, 0)));
    // Moving past the last row ends the picture; what follows is not read.
    cases.push_back(Trailing(Indexed("rle8_delta_past_top", Rle8(2, 2, {2, 3, 0, 2, 0, 5, 2, 4, 0xFF}), {0, 0, 3, 3})));
    cases.push_back(
        Trailing(Indexed("rle8_delta_row_255", Rle8(2, 3, {1, 3, 0, 2, 1, 255, 2, 4}), {0, 0, 0, 0, 3, 0})));
    cases.push_back(
        Trailing(Indexed("rle8_end_of_line_past_top", Rle8(2, 2, {1, 1, 0, 0, 1, 2, 0, 0, 2, 9, 0, 0}), {2, 0, 1, 0})));
    BmpFields s = Rle8(2, 1, {2, 5, 0, 1, 0xFF, 0xFF, 0xFF});
    s.sizeImage = 4;  // the declared size ends the stream; junk after it
    cases.push_back(Trailing(Indexed("rle8_size_image_exact", s, {5, 5})));
    s.sizeImage = 1000;  // more than the file holds: read to its end
    cases.push_back(Trailing(Indexed("rle8_size_image_past_file", s, {5, 5})));

    cases.push_back(Bad("rle8_no_end_mark", BuildBmp(Rle8(2, 2, {2, 5, 0, 0}))));
    cases.push_back(Bad("rle8_absolute_cut", BuildBmp(Rle8(8, 1, {0, 5, 1, 2}))));
    cases.push_back(Bad("rle8_absolute_pad_missing", BuildBmp(Rle8(8, 1, {0, 3, 1, 2, 3}))));
    cases.push_back(Bad("rle4_absolute_cut", BuildBmp(Rle4(8, 1, {0, 7, 0x12, 0x34}))));
    cases.push_back(Bad("rle8_delta_cut", BuildBmp(Rle8(4, 2, {0, 2, 1}))));
    cases.push_back(Bad("rle8_escape_cut", BuildBmp(Rle8(4, 2, {2, 1, 0}))));
    cases.push_back(Bad("rle8_empty_stream", BuildBmp(Rle8(4, 2, {}))));
    s = Rle8(2, 1, {2, 5, 0, 1});
    s.sizeImage = 3;  // cuts the end mark in half
    cases.push_back(Bad("rle8_size_image_cuts_stream", BuildBmp(s)));
    cases.push_back(Altered("rle8_top_down", Rle8(2, 1, {2, 5, 0, 1}), [](BmpFields& b) { b.height = -1; }));
    cases.push_back(Altered("rle4_top_down", Rle4(2, 1, {2, 5, 0, 1}), [](BmpFields& b) { b.height = -1; }));
    cases.push_back(Altered("rle8_at_4bit", Rle8(2, 1, {2, 5, 0, 1}), [](BmpFields& b) { b.bits = 4; }));
    cases.push_back(Altered("rle4_at_8bit", Rle4(2, 1, {2, 5, 0, 1}), [](BmpFields& b) { b.bits = 8; }));
    cases.push_back(Altered("rle8_at_24bit", Rle8(2, 1, {2, 5, 0, 1}), [](BmpFields& b) { b.bits = 24; }));
}

void AddMalformedHeaders(std::vector<BmpCase>& cases) {
    const std::vector<uint8_t> good = BuildBmp(Small8());
    cases.push_back(Bad("bad_empty", {}));
    cases.push_back(Bad("bad_one_byte", {'B'}));
    cases.push_back(Bad("bad_file_header_cut", std::vector<uint8_t>(good.begin(), good.begin() + 13)));
    cases.push_back(Bad("bad_file_header_only", std::vector<uint8_t>(good.begin(), good.begin() + 14)));
    cases.push_back(Bad("bad_info_header_cut", std::vector<uint8_t>(good.begin(), good.begin() + 34)));
    cases.push_back(Altered("bad_magic", Small8(), [](BmpFields& b) { b.magic[0] = 'M', b.magic[1] = 'B'; }));
    for (uint32_t size : {0u, 13u, 39u, 41u, 64u, 200u, 0xFFFFFFFFu})
        cases.push_back(Altered("bad_header_size_" + std::to_string(size), Small8(),
                                [size](BmpFields& b) { b.headerBytes = size; }));
    struct Size {
        const char* name;
        int32_t width, height;
    };
    for (const Size& z :
         {Size{"width_0", 0, 2}, Size{"width_minus_1", -1, 2}, Size{"width_min", INT32_MIN, 2},
          Size{"width_16385", 16385, 2}, Size{"width_max", INT32_MAX, 2}, Size{"height_0", 3, 0},
          Size{"height_16385", 3, 16385}, Size{"height_minus_16385", 3, -16385}, Size{"height_min", 3, INT32_MIN},
          Size{"area_16384x4097", 16384, 4097}, Size{"area_16384x16384", 16384, 16384},
          Size{"area_16384x4096_no_data", 16384, 4096}, Size{"area_65536x65536", 65536, 65536},
          Size{"width_2pow30", 1 << 30, 4}, Size{"area_max_max", INT32_MAX, INT32_MAX}})
        cases.push_back(Altered(std::string("bad_") + z.name, Small8(),
                                [z](BmpFields& b) { b.width = z.width, b.height = z.height; }));
    // Sizes past the limits with all their (run-length) data present.
    for (const Size& z : {Size{"width_16385", 16385, 1}, Size{"height_16385", 1, 16385},
                          Size{"area_16384x4097", 16384, 4097}, Size{"area_8193x8192", 8193, 8192}})
        cases.push_back(Bad(std::string("bad_rle8_") + z.name, BuildBmp(Rle8(z.width, z.height, {0, 1}))));
    cases.push_back(Altered("bad_core_width_0", SmallCore(), [](BmpFields& b) { b.width = 0; }));
    cases.push_back(Altered("bad_core_height_0", SmallCore(), [](BmpFields& b) { b.height = 0; }));
    cases.push_back(Altered("bad_core_width_65535", SmallCore(), [](BmpFields& b) { b.width = 65535; }));
    for (uint16_t planes : {0, 2})
        cases.push_back(
            Altered("bad_planes_" + std::to_string(planes), Small8(), [planes](BmpFields& b) { b.planes = planes; }));
    for (uint16_t bits : {0, 2, 3, 7, 15, 33, 64, 0xFFFF})
        cases.push_back(Altered("bad_bits_" + std::to_string(bits), Small8(), [bits](BmpFields& b) { b.bits = bits; }));
    for (uint16_t bits : {16, 32})
        cases.push_back(Altered("bad_core_bits_" + std::to_string(bits), SmallCore(),
                                [bits](BmpFields& b) { b.bits = bits, b.data.resize(24); }));
    for (uint32_t compression : {4u, 5u, 6u, 0xFFFFFFFFu})
        cases.push_back(Altered("bad_compression_" + std::to_string(compression), Small8(),
                                [compression](BmpFields& b) { b.compression = compression; }));
    for (uint16_t bits : {1, 8, 24})
        cases.push_back(Altered("bad_bitfields_at_" + std::to_string(bits) + "bit", Small8(), [bits](BmpFields& b) {
            b.bits = bits, b.compression = kBitfields, b.masks = {0xF800, 0x07E0, 0x001F};
        }));
}

void AddMalformedData(std::vector<BmpCase>& cases) {
    struct Count {
        const char* name;
        uint16_t bits;
        uint32_t clrUsed;
    };
    for (const Count& n :
         {Count{"257", 8, 257}, Count{"max", 8, 0xFFFFFFFF}, Count{"17_at_4bit", 4, 17}, Count{"3_at_1bit", 1, 3}})
        cases.push_back(Altered(std::string("bad_colour_count_") + n.name, Small8(), [n](BmpFields& b) {
            b.bits = n.bits, b.clrUsed = n.clrUsed,
            b.colours = Palette(static_cast<int>(n.clrUsed > 300 ? 256 : n.clrUsed));
        }));
    cases.push_back(Altered("bad_colour_table_cut", Small8(), [](BmpFields& b) {
        b.clrUsed = 0, b.colours = Palette(100), b.data.clear(), b.offBits = 54;
    }));
    cases.push_back(Altered("bad_core_colour_table_cut", Small8(), [](BmpFields& b) {
        b.headerBytes = 12, b.colours = Palette(10), b.data.clear(), b.offBits = 26;
    }));
    for (int64_t off : {int64_t{0}, int64_t{20}, int64_t{53}, int64_t{0xFFFFFFFF}})
        cases.push_back(
            Altered("bad_data_offset_" + std::to_string(off), Small8(), [off](BmpFields& b) { b.offBits = off; }));
    const size_t goodSize = BuildBmp(Small8()).size();
    cases.push_back(Altered("bad_data_offset_past_file", Small8(),
                            [goodSize](BmpFields& b) { b.offBits = static_cast<int64_t>(goodSize) + 1; }));
    cases.push_back(Altered("bad_data_offset_into_masks", Small565(), [](BmpFields& b) { b.offBits = 60; }));
    cases.push_back(Altered("bad_data_one_byte_short", Small8(), [](BmpFields& b) { b.data.pop_back(); }));
    cases.push_back(Altered("bad_data_row_missing", Small8(), [](BmpFields& b) { b.data.resize(4); }));
    cases.push_back(Altered("bad_data_none", Small8(), [](BmpFields& b) { b.data.clear(); }));
    cases.push_back(Altered("bad_data_24bit_short", Small8(), [](BmpFields& b) { b.bits = 24, b.data.resize(20); }));
    struct Masks {
        const char* name;
        uint32_t r, g, b;
    };
    for (const Masks& m : {Masks{"zero", 0, 0x07E0, 0x001F}, Masks{"overlapping", 0xF800, 0x0FE0, 0x001F},
                           Masks{"gap", 0xD800, 0x07E0, 0x001F}, Masks{"past_16_bits", 0x1F0000, 0x07E0, 0x001F},
                           Masks{"all_equal", 0xFFFF, 0xFFFF, 0xFFFF}})
        cases.push_back(Altered(std::string("bad_masks_") + m.name, Small565(), [m](BmpFields& b) {
            b.masks = {m.r, m.g, m.b};
        }));
    std::vector<uint8_t> masksCut = BuildBmp(Small565());
    masksCut.resize(14 + 40 + 6);
    cases.push_back(Bad("bad_masks_cut", masksCut));
}

}  // namespace

std::vector<uint8_t> BuildBmp(const BmpFields& s) {
    const bool core = s.headerBytes == 12;
    const size_t entryBytes = core ? 3 : 4;
    std::vector<uint8_t> info;
    Put32(info, s.headerBytes);
    if (core) {
        Put16(info, static_cast<uint32_t>(s.width));
        Put16(info, static_cast<uint32_t>(s.height));
        Put16(info, s.planes);
        Put16(info, s.bits);
    } else {
        Put32(info, static_cast<uint32_t>(s.width));
        Put32(info, static_cast<uint32_t>(s.height));
        Put16(info, s.planes);
        Put16(info, s.bits);
        Put32(info, s.compression);
        Put32(info, s.sizeImage);
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, s.clrUsed);
        Put32(info, 0);
        // Masks go inside a larger header; the rest of it stays zero.
        for (size_t i = 0; i < s.masks.size() && s.headerBytes >= 40 + 4 * (i + 1); ++i) Put32(info, s.masks[i]);
        while (info.size() < s.headerBytes && info.size() < 256) info.push_back(0);
        if (s.headerBytes == 40)
            for (uint32_t m : s.masks) Put32(info, m);
    }
    const size_t tableEnd = 14 + info.size() + s.colours.size() * entryBytes;
    const int64_t offBits = s.offBits >= 0 ? s.offBits : static_cast<int64_t>(tableEnd + s.gap);
    std::vector<uint8_t> out = {static_cast<uint8_t>(s.magic[0]), static_cast<uint8_t>(s.magic[1])};
    Put32(out, static_cast<uint32_t>(tableEnd + s.gap + s.data.size()));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(offBits));
    out.insert(out.end(), info.begin(), info.end());
    for (uint32_t c : s.colours) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c >> 16));
        if (!core) out.push_back(0x5A);  // the reserved byte, which readers ignore
    }
    out.insert(out.end(), s.gap, 0xEE);
    out.insert(out.end(), s.data.begin(), s.data.end());
    return out;
}

std::vector<uint8_t> PackRows(int width, int height, int bits, const std::vector<uint32_t>& pixels, bool topDown) {
    const size_t stride = (static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32 * 4;
    std::vector<uint8_t> out(stride * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = out.data() + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t v = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(bits);
            if (bits < 8) {
                row[bit / 8] |= static_cast<uint8_t>(v << (8 - bits - bit % 8));
            } else {
                for (int i = 0; i < bits / 8; ++i)
                    row[bit / 8 + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
            }
        }
    }
    return out;
}

void PrintTo(const BmpCase& c, std::ostream* os) { *os << c.name; }

std::vector<BmpCase> BmpCases() {
    std::vector<BmpCase> cases;
    AddGood(cases);
    AddRle(cases);
    AddMalformedHeaders(cases);
    AddMalformedData(cases);
    return cases;
}
