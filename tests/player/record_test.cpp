// The recorder on the headless host: what a recording says of the calendar,
// the clock and the input, written a frame at a time.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "hosts/headless/headless.h"
#include "player/record.h"
#include "player/version.h"
#include "tests/support/support.h"
#include "winapi/files.h"
#include "winapi/frame_log.h"
#include "winapi/texts.h"
#include "winapi/win.h"

namespace {

using testsupport::ReadText;

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        player::record::Reset();
    }
    void TearDown() override {
        headless::Reset();
        player::record::Reset();
        winapi::texts::UseLanguage(winapi::texts::Language::kJapanese);
    }
    // The platform's side of one frame: pending input taken, the clock read
    // at each of `clock`, then the flip.
    static void Frame(std::initializer_list<uint32_t> clock) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        for (uint32_t ms : clock) {
            headless::SetMilliseconds(ms);
            GetTickCount();
        }
        winapi::NoteFlip(DD_OK);
    }
    testsupport::TempFolder folder_{"kawauo-record"};
    std::string path_ = folder_ / "run.rec";
};

TEST_F(RecordTest, WritesTheRunAFrameAtATimeAndRenamesItAtTheEnd) {
    std::string why;
    winapi::texts::UseLanguage(winapi::texts::Language::kEnglish);  // chosen before the run, as every host does
    ASSERT_TRUE(player::record::Start(path_, &why)) << why;
    headless::SetCalendarSeconds(1234567);
    CalendarTime();
    CalendarTime();  // the seed is read once; a second read is not a second seed
    headless::Activate(true);
    Frame({100});
    headless::KeyDown(VK_F2);
    headless::KeyDown(0x41);  // a key the game does not read
    headless::Activate(false);
    Frame({116, 116, 117, 117});
    EXPECT_EQ(ReadText(path_ + ".part"), player::record::Text()) << "each frame is in the file once it ends";
    headless::KeyUp(VK_F2);
    headless::Close();
    Frame({});
    headless::KeyDown(VK_ESCAPE);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    const std::string expected =
        player::record::HeaderLine() +
        "\nlang en\nseed 1234567\nactivate 1\nframe 100\ndown F2\nactivate 0\nframe 116 116 117\n"
        "up F2\nclose\nframe 117\ndown ESCAPE\n";
    EXPECT_EQ(player::record::Text(), expected);
    EXPECT_NE(ReadText(path_ + ".part"), expected) << "what follows the last frame waits for the end";
    ASSERT_TRUE(player::record::Finish(&why)) << why;
    EXPECT_EQ(ReadText(path_), expected);
    EXPECT_FALSE(std::filesystem::exists(path_ + ".part"));
}

// The first write that fails (here past a limit on the file's size) ends
// the file where its last whole frame ended, and nothing is written after
// it even once writes would succeed again: the part is a clean beginning of
// the run, never a line spliced from two nor frames missing from its middle.
TEST_F(RecordTest, TheFirstFailedWriteCutsTheFileBackToItsLastWholeFrame) {
    std::string why;
    ASSERT_TRUE(player::record::Start(path_, &why)) << why;
    headless::SetCalendarSeconds(7);
    CalendarTime();
    Frame({100});
    Frame({116});
    const std::string kept = player::record::Text();
    ASSERT_EQ(ReadText(path_ + ".part"), kept);
    struct rlimit before {};
    getrlimit(RLIMIT_FSIZE, &before);
    const struct rlimit small = {kept.size() + 12, before.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
    setrlimit(RLIMIT_FSIZE, &small);
    headless::KeyDown(VK_F2);
    Frame({133});  // "down F2\nframe 133\n", 18 bytes: 6 past the limit
    setrlimit(RLIMIT_FSIZE, &before);
    headless::KeyUp(VK_F2);
    Frame({150});
    EXPECT_EQ(ReadText(path_ + ".part"), kept) << "cut back, and nothing written after";
    EXPECT_FALSE(player::record::Finish(&why));
    EXPECT_EQ(why,
              "cannot write " + path_ + ".part (File too large): it holds the run's first 2 frames, cut short there");
    EXPECT_EQ(ReadText(path_ + ".part"), kept);
    EXPECT_FALSE(std::filesystem::exists(path_));
}

// A part moved or removed during the run is not said to hold anything.
TEST_F(RecordTest, APartRemovedDuringTheRunIsNotSaidToBeKept) {
    std::string why;
    ASSERT_TRUE(player::record::Start(path_, &why)) << why;
    Frame({100});
    std::filesystem::remove(path_ + ".part");
    EXPECT_FALSE(player::record::Finish(&why));
    EXPECT_EQ(why, path_ + ".part was moved or removed while it was written: nothing is kept under that name");
    EXPECT_FALSE(std::filesystem::exists(path_));
}

// A run kept in memory only (for its link) is kept as long as a recording
// may be read back, then let go, and recorded no more.
TEST_F(RecordTest, ARunKeptInMemoryOnlyIsLetGoPastARecordingsLength) {
    std::string why;
    ASSERT_TRUE(player::record::Start("", &why)) << why;
    EXPECT_TRUE(player::record::Kept());
    constexpr int kReadsAFrame = 100000;  // ten-digit readings: a megabyte a frame
    uint32_t ms = 1000000000;
    size_t longest = 0;
    for (int frame = 0; frame < 100 && player::record::Kept(); ++frame) {
        longest = player::record::Text().size();
        for (int i = 0; i < kReadsAFrame; ++i) {
            headless::SetMilliseconds(ms++);
            GetTickCount();
        }
        winapi::NoteFlip(DD_OK);
    }
    EXPECT_LE(longest, static_cast<size_t>(winapi::kMaxReadBytes)) << "kept no longer than a recording may be";
    EXPECT_GT(longest, static_cast<size_t>(winapi::kMaxReadBytes) - (2u << 20)) << "kept as long as it may be";
    EXPECT_FALSE(player::record::Kept());
    EXPECT_TRUE(player::record::Text().empty());
    Frame({ms});
    EXPECT_TRUE(player::record::Text().empty()) << "nothing is recorded after it";
}

TEST_F(RecordTest, ARecordingThatCannotBeMadeSaysWhy) {
    std::string why;
    EXPECT_FALSE(player::record::Start(path_ + "/no/such/folder", &why));
    EXPECT_NE(why.find("its folder " + path_ + "/no/such does not exist"), std::string::npos) << why;
}

// A run's link makes its recording again from the entries: a line is taken
// only in the one form the recorder writes it.
TEST(RecordEntry, ALineIsReadOnlyInTheFormItIsWrittenIn) {
    using Kind = player::record::Entry::Kind;
    struct Good {
        const char* line;
        Kind kind;
        int64_t number;
        std::vector<uint32_t> reads;
    };
    for (const Good& good : {
             Good{"seed -9223372036854775808", Kind::kSeed, INT64_MIN, {}},
             Good{"seed 1796699615", Kind::kSeed, 1796699615, {}},
             Good{"lang en", Kind::kLanguage, static_cast<int64_t>(winapi::texts::Language::kEnglish), {}},
             Good{"lang ja", Kind::kLanguage, static_cast<int64_t>(winapi::texts::Language::kJapanese), {}},
             Good{"activate 0", Kind::kActivate, 0, {}},
             Good{"close", Kind::kClose, 0, {}},
             Good{"down F3", Kind::kDown, VK_F3, {}},
             Good{"up ESCAPE", Kind::kUp, VK_ESCAPE, {}},
             Good{"frame 0", Kind::kFrame, 0, {0}},
             Good{"frame 4294967295 7 7", Kind::kFrame, 0, {4294967295u, 7, 7}},
         }) {
        SCOPED_TRACE(good.line);
        player::record::Entry entry;
        ASSERT_TRUE(player::record::EntryOf(good.line, &entry));
        EXPECT_EQ(entry.kind, good.kind);
        EXPECT_EQ(entry.number, good.number);
        EXPECT_EQ(entry.reads, good.reads);
        EXPECT_EQ(player::record::LineOf(entry), good.line);
    }
    for (const char* bad : {"",
                            "seed",
                            "seed 01",
                            "seed +5",
                            "seed -0",
                            "seed 9223372036854775808",
                            "seed 5 ",
                            " seed 5",
                            "seed  5",
                            "lang fr",
                            "lang",
                            "activate 2",
                            "activate",
                            "close 1",
                            "down A",
                            "down space",
                            "up",
                            "frame",
                            "frame ",
                            "frame 1  2",
                            "frame 1 2 ",
                            "frame 4294967296",
                            "frame -1",
                            "frame 0x10",
                            "tick 5",
                            "frames 1",
                            "recording 1 kawauo 1.0.0",
                            "# seed 5"}) {
        player::record::Entry entry;
        EXPECT_FALSE(player::record::EntryOf(bad, &entry)) << "'" << bad << "'";
    }
}

TEST(RecordEntry, TheFirstLineNamesTheVersionThatWroteIt) {
    EXPECT_EQ(player::record::VersionOf(player::record::HeaderLine()), KAWAUO_VERSION);
    EXPECT_EQ(player::record::VersionOf(player::record::HeaderLineOf("2.0.1")), "2.0.1");
    for (const char* bad : {"recording 1 kawauo ", "recording 1 kawauo 1.0 beta", "recording 2 kawauo 1.0.0",
                            "recording 1 kawauo\t1.0.0", "seed 5", ""}) {
        EXPECT_EQ(player::record::VersionOf(bad), "") << "'" << bad << "'";
    }
}

}  // namespace
