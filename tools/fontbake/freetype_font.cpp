// Glyphs through FreeType as the game drew them before its font was baked:
// shinonome JIS X 0201 for single bytes, JIS X 0208 for pairs, efont by
// Unicode for the NEC and IBM rows and whatever else the first two lack.
#include "tools/fontbake/freetype_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>

#include <algorithm>

#include "winapi/text.h"

namespace fontbake {
namespace {

constexpr const char* kHalfWidthFont = "/usr/share/fonts/X11/misc/shnm8x16r.pcf.gz";  // JIS X 0201
constexpr const char* kFullWidthFont = "/usr/share/fonts/X11/misc/shnmk16.pcf.gz";    // JIS X 0208
constexpr const char* kFallbackFont = "/usr/share/fonts/X11/misc/f16.pcf.gz";         // Unicode

// The shinonome faces carry only their own code's charmap (no Unicode
// one), which is selected as it stands.
FT_Face Open(FT_Library library, const char* path, bool unicode) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, path, 0, &face) != 0) return nullptr;
    bool mapped = unicode ? FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0
                          : face->num_charmaps > 0 && FT_Set_Charmap(face, face->charmaps[0]) == 0;
    if (!mapped || (face->num_fixed_sizes > 0 && FT_Select_Size(face, 0) != 0)) {
        FT_Done_Face(face);
        return nullptr;
    }
    return face;
}

// Shift-JIS to JIS X 0208 row and cell.
FT_ULong JisCode(int lead, int trail) {
    int row = ((lead >= 0xE0 ? lead - 0x40 : lead) - 0x81) * 2 + 0x21;
    int cell;
    if (trail >= 0x9F) {
        ++row;
        cell = trail - 0x7E;
    } else {
        cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
    }
    return static_cast<FT_ULong>(row << 8 | cell);
}

bool Load(FT_Face face, FT_ULong charCode, Glyph* glyph) {
    if (face == nullptr || charCode == 0) return false;
    FT_UInt index = FT_Get_Char_Index(face, charCode);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    *glyph = Glyph{slot->bitmap_left,
                   kTextAscent - slot->bitmap_top,
                   std::min(static_cast<int>(bitmap.width), kMaxGlyphSize),
                   std::min(static_cast<int>(bitmap.rows), kMaxGlyphSize),
                   {}};
    for (int r = 0; r < glyph->rows; ++r) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(r) * bitmap.pitch;
        for (int c = 0; c < glyph->width; ++c) {
            bool ink =
                bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[c >> 3] & (0x80 >> (c & 7))) != 0 : row[c] >= 0x80;
            if (ink) glyph->bits[static_cast<size_t>(r)] |= 0x80000000u >> c;
        }
    }
    return true;
}

}  // namespace

struct FreeTypeFont::Faces {
    FT_Library library = nullptr;
    FT_Face halfWidth = nullptr;
    FT_Face fullWidth = nullptr;
    FT_Face fallback = nullptr;
};

FreeTypeFont::FreeTypeFont() : faces_(std::make_unique<Faces>()) {
    if (FT_Init_FreeType(&faces_->library) != 0) {
        faces_->library = nullptr;
        return;
    }
    faces_->halfWidth = Open(faces_->library, kHalfWidthFont, false);
    faces_->fullWidth = Open(faces_->library, kFullWidthFont, false);
    faces_->fallback = Open(faces_->library, kFallbackFont, true);
}

FreeTypeFont::~FreeTypeFont() {
    if (faces_->library != nullptr) FT_Done_FreeType(faces_->library);  // closes the faces too
}

bool FreeTypeFont::Complete() const {
    return faces_->halfWidth != nullptr && faces_->fullWidth != nullptr && faces_->fallback != nullptr &&
           Cp932Unicode(0x82A0) != 0;
}

bool FreeTypeFont::Render(int code, Glyph* glyph) {
    if (code < 0x100) {
        // Control characters have glyphs in the font but show nothing.
        if (code < 0x20 || code == 0x7F) return false;
        return Load(faces_->halfWidth, static_cast<FT_ULong>(code), glyph);
    }
    int lead = code >> 8;
    if (lead < 0xF0 && Load(faces_->fullWidth, JisCode(lead, code & 0xFF), glyph)) return true;
    return Load(faces_->fallback, Cp932Unicode(code), glyph);
}

uint32_t Cp932Unicode(int code) {
    static iconv_t toUnicode = iconv_open("UTF-32LE", "CP932");
    if (toUnicode == reinterpret_cast<iconv_t>(-1)) return 0;
    char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    unsigned char out[8] = {};
    char* src = in;
    size_t srcLeft = sizeof in;
    char* dst = reinterpret_cast<char*>(out);
    size_t dstLeft = sizeof out;
    iconv(toUnicode, nullptr, nullptr, nullptr, nullptr);
    if (iconv(toUnicode, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return 0;
    if (sizeof out - dstLeft != 4) return 0;
    return out[0] | out[1] << 8 | out[2] << 16 | static_cast<uint32_t>(out[3]) << 24;
}

}  // namespace fontbake
