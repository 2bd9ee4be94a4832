// The headless host on its own: what it records of frames, draws and
// callbacks, the events it hands out, and what a reset forgets.
#include <gtest/gtest.h>

#include <vector>

#include "game/texts.h"
#include "hosts/headless/headless.h"
#include "winapi/host.h"

namespace {

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { headless::Reset(); }
    void TearDown() override { headless::Reset(); }

    static std::vector<uint8_t> Picture(uint8_t seed) {
        std::vector<uint8_t> p(kScreenWidth * kScreenHeight);
        for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i * 7 + seed);
        return p;
    }
    static void Palette(PALETTEENTRY out[256], uint8_t seed) {
        for (int i = 0; i < 256; ++i)
            out[i] = PALETTEENTRY{static_cast<BYTE>(i + seed), static_cast<BYTE>(255 - i), static_cast<BYTE>(seed), 0};
    }
};

TEST_F(HeadlessTest, PresentKeepsACopyOfTheFrameAndCountsIt) {
    EXPECT_EQ(headless::FramesShown(), 0);
    ASSERT_EQ(headless::LastFrame().pixels.size(), size_t{kScreenWidth} * kScreenHeight);
    std::vector<uint8_t> pixels = Picture(3);
    PALETTEENTRY palette[256];
    Palette(palette, 9);
    winapi::host::Present(pixels.data(), palette);
    const uint8_t* storage = headless::LastFrame().pixels.data();

    std::vector<uint8_t> shown = pixels;
    pixels.assign(pixels.size(), 0);  // the game draws on: the recorded frame must not follow
    palette[5].peRed = 1;
    EXPECT_EQ(headless::FramesShown(), 1);
    EXPECT_TRUE(headless::LastFrame().pixels == shown) << "recorded pixels differ from those presented";
    EXPECT_EQ(headless::LastFrame().palette[5].peRed, 5 + 9);
    EXPECT_EQ(headless::LastFrame().palette[200].peGreen, 55);

    std::vector<uint8_t> second = Picture(4);
    winapi::host::Present(second.data(), palette);
    EXPECT_EQ(headless::FramesShown(), 2);
    EXPECT_TRUE(headless::LastFrame().pixels == second);
    EXPECT_EQ(headless::LastFrame().palette[5].peRed, 1);
    EXPECT_EQ(headless::LastFrame().pixels.data(), storage) << "a frame is copied, not allocated";
}

TEST_F(HeadlessTest, EventsComeOutInTheOrderTheyWentIn) {
    headless::KeyDown(VK_SPACE);
    headless::Activate(false);
    headless::KeyUp(VK_SPACE);
    headless::Activate(true);
    headless::Close();
    struct Row {
        winapi::host::EventKind kind;
        int key;
    } rows[] = {{winapi::host::EventKind::KeyDown, VK_SPACE},
                {winapi::host::EventKind::Deactivate, 0},
                {winapi::host::EventKind::KeyUp, VK_SPACE},
                {winapi::host::EventKind::Activate, 0},
                {winapi::host::EventKind::Close, 0}};
    winapi::host::Event e{};
    for (const Row& row : rows) {
        ASSERT_TRUE(winapi::host::PollEvent(&e));
        EXPECT_EQ(static_cast<int>(e.kind), static_cast<int>(row.kind));
        if (row.kind == winapi::host::EventKind::KeyDown || row.kind == winapi::host::EventKind::KeyUp) {
            EXPECT_EQ(e.virtualKey, row.key);
        }
    }
    EXPECT_FALSE(winapi::host::PollEvent(&e));
}

TEST_F(HeadlessTest, DrawLogRecordsOnlyWhileEnabledAndEmptiesWhenTaken) {
    winapi::BltNote blt{nullptr, nullptr, RECT{1, 2, 3, 4}, RECT{5, 6, 7, 8}, true};
    winapi::NoteBlt(blt);
    winapi::NoteText(0, 0, 0x00FFFFFF, "off", 3);
    winapi::NoteFlip(DD_OK);
    EXPECT_TRUE(winapi::TakeDraws().empty()) << "nothing is logged until asked";

    winapi::RecordDraws(true);
    winapi::NoteBlt(blt);
    winapi::NoteText(10, 20, 0x0000FFFF, kTextHudHp, 4);  // a length shorter than the text is honoured
    winapi::NoteFlip(DDERR_SURFACELOST);
    std::vector<winapi::DrawNote> notes = winapi::TakeDraws();
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].kind, winapi::DrawNote::kBlt);
    EXPECT_EQ(notes[0].blt.destRect.right, 3);
    EXPECT_EQ(notes[0].blt.srcRect.bottom, 8);
    EXPECT_TRUE(notes[0].blt.keyed);
    EXPECT_EQ(notes[1].kind, winapi::DrawNote::kText);
    EXPECT_EQ(notes[1].text.x, 10);
    EXPECT_EQ(notes[1].text.y, 20);
    EXPECT_EQ(notes[1].text.colour, 0x0000FFFFu);
    EXPECT_EQ(notes[1].text.text, "\xE4\xBD\x93\xE5\x8A\x9B") << "the first two characters, in UTF-8";
    EXPECT_EQ(notes[2].kind, winapi::DrawNote::kFlip);
    EXPECT_TRUE(winapi::TakeDraws().empty()) << "taking empties the log";

    winapi::RecordDraws(false);
    winapi::NoteBlt(blt);
    EXPECT_TRUE(winapi::TakeDraws().empty());
}

TEST_F(HeadlessTest, OnFrameRunsOnEveryFlipWithItsResult) {
    std::vector<HRESULT> results;
    headless::OnFrame([&](HRESULT r) { results.push_back(r); });
    winapi::host::NoteFlip(DD_OK);
    winapi::host::NoteFlip(DDERR_SURFACELOST);
    EXPECT_EQ(results, (std::vector<HRESULT>{DD_OK, DDERR_SURFACELOST}));
    headless::OnFrame(nullptr);
    winapi::host::NoteFlip(DD_OK);
    EXPECT_EQ(results.size(), 2u);
}

TEST_F(HeadlessTest, CallbackMayReplaceOrClearItself) {
    int first = 0;
    int second = 0;
    headless::OnFrame([&](HRESULT) {
        ++first;
        headless::OnFrame([&](HRESULT) {
            ++second;
            headless::OnFrame(nullptr);
        });
    });
    for (int i = 0; i < 4; ++i) winapi::host::NoteFlip(DD_OK);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);

    int runs = 0;
    headless::OnFrame([&](HRESULT) {
        ++runs;
        headless::Reset();  // a script ending the run from inside a frame
    });
    winapi::host::NoteFlip(DD_OK);
    winapi::host::NoteFlip(DD_OK);
    EXPECT_EQ(runs, 1) << "a reset forgets the callback, even its own caller";
}

TEST_F(HeadlessTest, RecordsBoxesAndLinesAndForgetsEverythingOnReset) {
    winapi::host::ShowMessageBox("caption", "text");
    winapi::host::DebugLine("line");
    headless::SetMilliseconds(99);
    headless::SetCalendarSeconds(1234);
    headless::SetDesktopSize(800, 600);
    headless::SetDisplayAvailable(false);
    headless::KeyDown(VK_UP);
    winapi::RecordDraws(true);
    winapi::host::NoteFlip(DD_OK);
    std::vector<uint8_t> pixels = Picture(1);
    PALETTEENTRY palette[256];
    Palette(palette, 1);
    winapi::host::Present(pixels.data(), palette);

    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].caption, "caption");
    EXPECT_EQ(headless::MessageBoxes()[0].text, "text");
    ASSERT_EQ(headless::DebugLines().size(), 1u);
    EXPECT_EQ(headless::DebugLines()[0], "line");
    EXPECT_EQ(winapi::host::Milliseconds(), 99u);
    EXPECT_EQ(winapi::host::CalendarSeconds(), 1234);
    EXPECT_EQ(winapi::host::DesktopWidth(), 800);
    EXPECT_FALSE(winapi::host::OpenDisplay("2DGAME"));

    headless::Reset();
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_TRUE(headless::DebugLines().empty());
    EXPECT_EQ(winapi::host::Milliseconds(), 0u);
    EXPECT_EQ(winapi::host::CalendarSeconds(), 0);
    EXPECT_EQ(winapi::host::DesktopWidth(), 640);
    EXPECT_EQ(winapi::host::DesktopHeight(), 480);
    EXPECT_TRUE(winapi::host::OpenDisplay("2DGAME"));
    winapi::host::Event e;
    EXPECT_FALSE(winapi::host::PollEvent(&e)) << "queued input is dropped";
    winapi::host::NoteFlip(DD_OK);
    EXPECT_TRUE(winapi::TakeDraws().empty()) << "recording is off again";
    EXPECT_EQ(headless::FramesShown(), 0);
    EXPECT_EQ(headless::LastFrame().pixels, std::vector<uint8_t>(pixels.size(), 0));
}

}  // namespace
