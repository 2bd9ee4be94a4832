// GDI: bitmaps from files copied onto surfaces with their colours matched to
// the display palette, clipping at the surface, objects, and text.
#include <filesystem>
#include <string>

#include "tests/support/support.h"
#include "tests/winapi/screen_fixture.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/gdi.h"
#include "winapi/palette_match.h"
#include "winapi/text.h"
#include "winapi/texts.h"

namespace {

class GdiTest : public ScreenTest {
protected:
    // An 8-bit BMP in the test's temporary folder.
    std::string WriteBmp(const char* name, int width, int height, const std::vector<uint8_t>& indices,
                         const PALETTEENTRY colours[256]) {
        const std::string path = folder_ / name;
        EXPECT_TRUE(WriteFile(path, EncodeBmp8(width, height, indices, colours))) << path;
        return path;
    }

    // The loading steps of the game: file bitmap, memory context, 1:1 copy onto the surface.
    void CopyFile(IDirectDrawSurface* surface, const std::string& path, BITMAP* info) {
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
        ASSERT_NE(bitmap, nullptr) << path;
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        ASSERT_NE(previous, nullptr);
        ASSERT_EQ(GetObjectA(bitmap, sizeof *info, info), static_cast<int>(sizeof *info));
        HDC dc = nullptr;
        ASSERT_EQ(surface->GetDC(&dc), DD_OK);
        EXPECT_TRUE(
            StretchBlt(dc, 0, 0, info->bmWidth, info->bmHeight, memory, 0, 0, info->bmWidth, info->bmHeight, SRCCOPY));
        ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
        EXPECT_EQ(DeleteObject(bitmap), FALSE) << "still selected";
        EXPECT_EQ(SelectObject(memory, previous), bitmap);
        EXPECT_EQ(DeleteDC(memory), TRUE);
        EXPECT_EQ(DeleteObject(bitmap), TRUE);
    }

    static std::vector<PALETTEENTRY> Default() {
        const PALETTEENTRY* p = winapi::DisplayPalette();  // no palette on the primary yet
        return std::vector<PALETTEENTRY>(p, p + 256);
    }

    testsupport::TempFolder folder_{"kawauo-gdi"};
};

TEST_F(GdiTest, NearestIndexTakesTheFirstOfTheClosestEntries) {
    PALETTEENTRY palette[256] = {};
    palette[10] = {200, 100, 50, 0};
    palette[20] = {200, 100, 50, 0};
    palette[30] = {255, 0, 0, 0};
    palette[40] = {0, 0, 9, 0};
    struct Row {
        uint8_t r, g, b, index;
    } rows[] = {{200, 100, 50, 10}, {190, 104, 50, 10}, {0, 0, 0, 0}, {250, 6, 0, 30}, {0, 0, 5, 40}, {0, 0, 4, 0}};
    for (const Row& row : rows) {
        EXPECT_EQ(winapi::NearestIndex(palette, row.r, row.g, row.b), row.index)
            << int{row.r} << "," << int{row.g} << "," << int{row.b};
    }
    const std::vector<PALETTEENTRY> display = Default();
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = display[i];
        EXPECT_EQ(winapi::NearestIndex(display.data(), e.peRed, e.peGreen, e.peBlue), i) << "exact entry " << i;
    }
}

TEST_F(GdiTest, CopyMatchesEachBitmapColourToTheDisplayPalette) {
    // The bitmap's colour i is the display's colour 255 - i.
    const std::vector<PALETTEENTRY> display = Default();
    PALETTEENTRY reversed[256];
    std::vector<uint8_t> indices(256);
    for (int i = 0; i < 256; ++i) {
        reversed[i] = display[255 - i];
        indices[i] = static_cast<uint8_t>(i);
    }
    const std::string path = WriteBmp("reversed.bmp", 16, 16, indices, reversed);
    IDirectDrawSurface* surface = Plain(16, 16);
    BITMAP info{};
    CopyFile(surface, path, &info);
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 16);
    EXPECT_EQ(info.bmBitsPixel, 8);
    std::vector<uint8_t> want(256);
    for (int i = 0; i < 256; ++i) want[i] = static_cast<uint8_t>(255 - i);
    EXPECT_EQ(Pixels(surface), want);
}

TEST_F(GdiTest, CopyIsCutAtTheSurfaceAndLeavesTheRestAlone) {
    const std::vector<PALETTEENTRY> display = Default();
    std::vector<uint8_t> large(8 * 6), small{1, 2, 3, 4, 5, 6};
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(10 + i);
    struct Row {
        const char* name;
        int width, height;
        const std::vector<uint8_t>& indices;
        std::vector<uint8_t> want;  // the 5x4 surface, first filled with 99
    } rows[] = {
        {"larger", 8, 6, large, {10, 11, 12, 13, 14, 18, 19, 20, 21, 22, 26, 27, 28, 29, 30, 34, 35, 36, 37, 38}},
        {"smaller", 3, 2, small, {1, 2, 3, 99, 99, 4, 5, 6, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99}},
    };
    for (const Row& row : rows) {
        IDirectDrawSurface* surface = Plain(5, 4);
        Fill(surface, std::vector<uint8_t>(20, 99));
        BITMAP info{};
        CopyFile(surface, WriteBmp(row.name, row.width, row.height, row.indices, display.data()), &info);
        EXPECT_EQ(Pixels(surface), row.want) << row.name;
    }
}

TEST_F(GdiTest, LoadImageFindsOnlyReadableFilesAndHonoursAFault) {
    const std::vector<PALETTEENTRY> display = Default();
    const std::string path = WriteBmp("one.bmp", 1, 1, {5}, display.data());
    struct Row {
        const char* name;
        std::string file;
        UINT flags;
        const char* fault;
        bool loads;
    } rows[] = {
        {"file", path, LR_LOADFROMFILE, nullptr, true},
        {"resource lookup", path, LR_CREATEDIBSECTION, nullptr, false},
        {"missing file", path + ".none", LR_LOADFROMFILE, nullptr, false},
        {"injected fault", path, LR_LOADFROMFILE, "LoadImageA", false},
        {"fault used up", path, LR_LOADFROMFILE, nullptr, true},
    };
    for (const Row& row : rows) {
        if (row.fault) headless::FailNext(row.fault, DDERR_GENERIC);
        HANDLE image = LoadImageA(nullptr, row.file.c_str(), IMAGE_BITMAP, 0, 0, row.flags);
        EXPECT_EQ(image != nullptr, row.loads) << row.name;
        if (image) {
            EXPECT_EQ(DeleteObject(static_cast<HGDIOBJ>(image)), TRUE) << row.name;
        }
    }
}

// Lettered pictures have an English form in en/ beside them; the others
// serve every language.
TEST_F(GdiTest, LoadImageTakesAPicturesFormInTheChosenLanguage) {
    const std::vector<PALETTEENTRY> display = Default();
    const std::filesystem::path folder = folder_ / "lang";
    const std::filesystem::path english = folder / "en";
    std::filesystem::create_directories(english);
    const std::string lettered = WriteBmp("lang/title.bmp", 1, 1, {5}, display.data());
    const std::string plain = WriteBmp("lang/plain.bmp", 1, 1, {5}, display.data());
    ASSERT_TRUE(WriteFile((english / std::filesystem::path(lettered).filename()).string(),
                          EncodeBmp8(2, 1, {6, 7}, display.data())));
    const struct {
        winapi::texts::Language language;
        std::string file;
        int width;  // 2: the English form
    } rows[] = {
        {winapi::texts::Language::kJapanese, lettered, 1},
        {winapi::texts::Language::kEnglish, lettered, 2},
        {winapi::texts::Language::kEnglish, plain, 1},
    };
    for (const auto& row : rows) {
        winapi::texts::UseLanguage(row.language);
        HANDLE image = LoadImageA(nullptr, row.file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        ASSERT_NE(image, nullptr) << row.file;
        BITMAP info{};
        GetObjectA(static_cast<HGDIOBJ>(image), sizeof info, &info);
        EXPECT_EQ(info.bmWidth, row.width) << row.file << " in language " << static_cast<int>(row.language);
        DeleteObject(static_cast<HGDIOBJ>(image));
    }
    winapi::texts::UseLanguage(winapi::texts::Language::kJapanese);
}

TEST_F(GdiTest, ObjectsAnswerOnlyForWhatTheyAre) {
    const std::vector<PALETTEENTRY> display = Default();
    HGDIOBJ bitmap =
        static_cast<HGDIOBJ>(LoadImageA(nullptr, WriteBmp("obj.bmp", 3, 2, {1, 2, 3, 4, 5, 6}, display.data()).c_str(),
                                        IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    EXPECT_EQ(GetObjectA(bitmap, 8, &info), 8) << "copies no more than asked";
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 0) << "past the size given";
    HDC memory = CreateCompatibleDC(nullptr);
    HDC other = CreateCompatibleDC(nullptr);
    ASSERT_NE(SelectObject(memory, bitmap), nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr) << "one context at a time";
    HDC dc = nullptr;
    ASSERT_EQ(back_->GetDC(&dc), DD_OK);
    EXPECT_EQ(DeleteDC(dc), FALSE) << "a surface's context goes back through ReleaseDC";
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    EXPECT_EQ(StretchBlt(memory, 0, 0, 3, 2, dc, 0, 0, 3, 2, SRCCOPY), FALSE) << "surface to memory";
    EXPECT_EQ(TextOutA(memory, 0, 0, "a", 1), FALSE);
    ASSERT_EQ(back_->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(GetObjectA(reinterpret_cast<HGDIOBJ>(memory), sizeof info, &info), 0);
    EXPECT_EQ(DeleteDC(memory), TRUE);
    EXPECT_EQ(DeleteDC(other), TRUE);
    EXPECT_EQ(DeleteObject(bitmap), TRUE);
    EXPECT_EQ(DeleteObject(bitmap), FALSE) << "already gone";
}

TEST_F(GdiTest, TextIsDrawnInTheNearestPaletteColourLeavingTheCellsAlone) {
    struct Row {
        COLORREF colour;
        uint8_t index;  // in the 3-3-2 display palette
    } rows[] = {{0x00FFFFFF, 0xFF}, {0x000000FF, 0xE0}, {0x000000F0, 0xE0}, {0x0000FF00, 0x1C}, {0x00FF0000, 0x03}};
    const char text[] = "Ab";
    winapi::RecordDraws(true);
    for (const Row& row : rows) {
        Fill(back_, std::vector<uint8_t>(640 * 480, 0x49));
        HDC dc = nullptr;
        ASSERT_EQ(back_->GetDC(&dc), DD_OK);
        EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
        SetTextColor(dc, row.colour);
        EXPECT_TRUE(TextOutA(dc, 630, 3, text, 2));
        ASSERT_EQ(back_->ReleaseDC(dc), DD_OK);

        std::vector<uint8_t> want(640 * 480, 0x49);
        DrawTextCp932(want.data(), 640, 480, 640, 630, 3, text, 2, row.index);
        EXPECT_EQ(Pixels(back_), want) << std::hex << row.colour;
        int inked = 0;
        for (uint8_t p : Pixels(back_)) inked += p == row.index;
        EXPECT_GT(inked, 0) << std::hex << row.colour;

        const auto notes = winapi::TakeDraws();
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].kind, winapi::DrawNote::kText);
        EXPECT_EQ(notes[0].text.x, 630);
        EXPECT_EQ(notes[0].text.colour, row.colour);
        EXPECT_EQ(notes[0].text.text, "Ab");
    }
}

// With the outline chosen, every pixel next to the text's ink (the eight
// neighbours, cut at the surface) takes the palette's darkest colour.
TEST_F(GdiTest, OutlineEdgesTheTextInTheDarkestColourWhenChosen) {
    const char text[] = "Ab";
    for (int x : {0, 300}) {
        Fill(back_, std::vector<uint8_t>(640 * 480, 0x49));
        winapi::UseTextOutline(true);
        HDC dc = nullptr;
        ASSERT_EQ(back_->GetDC(&dc), DD_OK);
        SetTextColor(dc, 0x00FFFFFF);
        EXPECT_TRUE(TextOutA(dc, x, 0, text, 2));
        ASSERT_EQ(back_->ReleaseDC(dc), DD_OK);
        winapi::UseTextOutline(false);

        std::vector<uint8_t> ink(640 * 480, 0);
        DrawTextCp932(ink.data(), 640, 480, 640, x, 0, text, 2, 1);
        std::vector<uint8_t> want(640 * 480, 0x49);
        for (int py = 0; py < 480; ++py)
            for (int px = 0; px < 640; ++px) {
                auto at = [&](int cx, int cy) {
                    return cx >= 0 && cy >= 0 && cx < 640 && cy < 480 && ink[static_cast<size_t>(cy * 640 + cx)] != 0;
                };
                bool edge = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) edge = edge || at(px + dx, py + dy);
                if (at(px, py)) want[static_cast<size_t>(py * 640 + px)] = 0xFF;
                else if (edge) want[static_cast<size_t>(py * 640 + px)] = 0x00;
            }
        EXPECT_EQ(Pixels(back_), want) << "at x " << x;
    }
}

}  // namespace
