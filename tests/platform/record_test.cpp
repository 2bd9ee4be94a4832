// The platform's recorder and player on the headless host: what a recording
// says of the calendar, the clock and the input, written a frame at a time;
// and what the game reads while a script plays.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/frame_log.h"
#include "platform/headless.h"
#include "platform/record.h"
#include "platform/win.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        path_ = (std::filesystem::temp_directory_path() / ("kawauo-record-" + std::to_string(getpid()))).string();
    }
    void TearDown() override {
        headless::Reset();
        std::filesystem::remove(path_);
        std::filesystem::remove(path_ + ".part");
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
        platform::NoteFlip(DD_OK);
    }
    std::string path_;
};

TEST_F(RecordTest, WritesTheRunAFrameAtATimeAndRenamesItAtTheEnd) {
    std::string why;
    ASSERT_TRUE(record::Start(path_, &why)) << why;
    headless::SetCalendarSeconds(1234567);
    CalendarTime();
    CalendarTime();  // the seed is read once; a second read is not a second seed
    headless::Activate(true);
    Frame({100});
    headless::KeyDown(VK_F2);
    headless::KeyDown(0x41);  // a key the game does not read
    headless::Activate(false);
    Frame({116, 116, 117, 117});
    EXPECT_EQ(ReadFile(path_ + ".part"), record::Text()) << "each frame is in the file once it ends";
    headless::KeyUp(VK_F2);
    headless::Close();
    Frame({});
    headless::KeyDown(VK_ESCAPE);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    const std::string expected = record::HeaderLine() +
                                 "\nseed 1234567\nactivate 1\nframe 100\ndown F2\nactivate 0\nframe 116 116 117\n"
                                 "up F2\nclose\nframe 117\ndown ESCAPE\n";
    EXPECT_EQ(record::Text(), expected);
    EXPECT_NE(ReadFile(path_ + ".part"), expected) << "what follows the last frame waits for the end";
    ASSERT_TRUE(record::Finish(&why)) << why;
    EXPECT_EQ(ReadFile(path_), expected);
    EXPECT_FALSE(std::filesystem::exists(path_ + ".part"));
}

TEST_F(RecordTest, ARecordingThatCannotBeMadeSaysWhy) {
    std::string why;
    EXPECT_FALSE(record::Start(path_ + "/no/such/folder", &why));
    EXPECT_NE(why.find("cannot write"), std::string::npos) << why;
}

TEST_F(RecordTest, APlayedScriptGivesTheClockCalendarAndInput) {
    record::Play();
    record::SetCalendar(77);
    record::SetClock(50);
    headless::SetMilliseconds(999);
    headless::SetCalendarSeconds(888);
    EXPECT_EQ(CalendarTime(), 77);
    EXPECT_EQ(GetTickCount(), 50u);
    record::SetReads({60, 61});
    EXPECT_EQ(GetTickCount(), 60u);
    EXPECT_EQ(GetTickCount(), 61u);
    EXPECT_EQ(GetTickCount(), 61u) << "the last reading stays";
    EXPECT_EQ(record::Clock(), 61u);

    // The host's own input only leaves; the script's is played.
    record::Queue(host::Event{host::EventKind::KeyDown, VK_LEFT});
    headless::KeyDown(VK_SPACE);
    headless::Activate(false);
    headless::KeyDown(VK_ESCAPE);
    headless::Close();
    struct Row {
        host::EventKind kind;
        int key;
    } rows[] = {
        {host::EventKind::KeyDown, VK_ESCAPE}, {host::EventKind::Close, 0}, {host::EventKind::KeyDown, VK_LEFT}};
    host::Event e{};
    for (const Row& row : rows) {
        ASSERT_TRUE(record::PollEvent(&e));
        EXPECT_EQ(static_cast<int>(e.kind), static_cast<int>(row.kind));
        EXPECT_EQ(e.virtualKey, row.key);
    }
    EXPECT_FALSE(record::PollEvent(&e));
}

}  // namespace
