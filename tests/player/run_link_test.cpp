// A run's link: recordings to links and back byte for byte, their length,
// and links damaged, cut, foreign or newer refused with what is wrong.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "player/record.h"
#include "player/run_link.h"
#include "player/run_link_deflate.h"
#include "player/version.h"
#include "tests/support/support.h"
#include "winapi/files.h"

namespace {

const std::string kHeader = player::record::HeaderLine() + "\n";

std::string Kept(const std::string& name) { return testsupport::ReadText(KAWAUO_SOURCE_DIR "/tests/replays/" + name); }

int FramesOf(const std::string& recording) {
    int frames = 0;
    for (size_t at = recording.find("\nframe "); at != std::string::npos; at = recording.find("\nframe ", at + 1))
        ++frames;
    return frames;
}

std::string LinkOrWhy(const std::string& recording) {
    std::string link, why;
    return player::run_link::MakeLink(recording, &link, &why) ? link : "refused: " + why;
}

// A run's text and the reason its link is refused, or "" when it is read.
std::string WhyRefused(const std::string& link) {
    std::string recording, why;
    return player::run_link::ReadLink(link, &recording, &why) ? "" : why;
}

// A steady 60 Hz run of `frames`, its keys pressed and let go about twice a
// second in all (as the kept runs are played), from a fixed sequence.
std::string SteadyRun(int frames) {
    static const char* kKeys[] = {"LEFT", "UP", "RIGHT", "DOWN", "F1", "F2", "F3", "UP", "RIGHT", "SPACE"};
    std::string run = kHeader + "lang ja\nseed 1796699615\nactivate 1\n";
    uint32_t random = 7;
    const char* held = nullptr;
    for (int f = 0; f < frames; ++f) {
        random = random * 214013 + 2531011;
        if ((random >> 16) % 60 < 2) {
            run += held ? std::string("up ") + held + "\n" : std::string("down ") + kKeys[(random >> 8) % 10] + "\n";
            held = held ? nullptr : kKeys[(random >> 8) % 10];
        }
        run += "frame " + std::to_string(268 + f * 1000 / 60) + "\n";
    }
    return run;
}

// The binary form with its check made again, for forms edited by a test.
std::vector<uint8_t> Checked(std::vector<uint8_t> body) {
    const uint32_t crc = static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
    for (int i = 0; i < 4; ++i) body.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    return body;
}

std::vector<uint8_t> FormOf(const std::string& recording) {
    std::vector<uint8_t> form;
    std::string why;
    EXPECT_TRUE(player::run_link::FormOf(recording, &form, &why)) << why;
    return form;
}

TEST(RunLink, KeptRunsComeBackByteForByteInAtMostACharacterAFrame) {
    for (const char* name : {"retire.rec", "spent.rec", "twice.rec"}) {
        SCOPED_TRACE(name);
        const std::string recording = Kept(name);
        const std::string link = LinkOrWhy(recording);
        ASSERT_EQ(link.rfind(KAWAUO_SITE_URL "#run=", 0), 0u) << link;
        EXPECT_LE(link.size(), static_cast<size_t>(FramesOf(recording)));
        std::string back, why;
        ASSERT_TRUE(player::run_link::ReadLink(link, &back, &why)) << why;
        EXPECT_EQ(back, recording);
    }
}

TEST(RunLink, ASteadyFiveMinuteRunTakesUnder2000Characters) {
    const std::string recording = SteadyRun(5 * 60 * 60);
    const std::string link = LinkOrWhy(recording);
    EXPECT_LT(link.size(), 2000u);
    std::string back, why;
    ASSERT_TRUE(player::run_link::ReadLink(link, &back, &why)) << why;
    EXPECT_EQ(back, recording);
}

// Every kind of line, in every place, and numbers at their ends.
TEST(RunLink, EveryLineTheRecorderWritesComesBack) {
    std::string every = kHeader + "close\nlang en\nseed -9223372036854775808\nactivate 0\nactivate 1\n";
    for (const char* key : {"SPACE", "TAB", "ESCAPE", "LEFT", "UP", "RIGHT", "DOWN", "F1", "F2", "F3"})
        every += std::string("down ") + key + "\nup " + key + "\n";
    every +=
        "frame 4294967295\nframe 0\nframe 5 4 4294967295 0\nlang ja\nseed 9223372036854775807\nframe 16\n"
        "frame 16\nframe 100000 100017 100016\nclose\nclose\n";
    std::vector<uint8_t> form = FormOf(every);
    std::string back, why;
    ASSERT_TRUE(player::run_link::RecordingOf(form, &back, &why)) << why;
    EXPECT_EQ(back, every);
    for (const std::string& few : {kHeader, kHeader + "frame 7\n", kHeader + "seed 3\n",
                                   player::record::HeaderLineOf("0.9.0-rc1") + "\nframe 1\n"}) {
        ASSERT_TRUE(player::run_link::RecordingOf(FormOf(few), &back, &why)) << why;
        EXPECT_EQ(back, few);
    }
}

// What the recorder never writes has no place in a link: made again, it
// would not be the file it came from.
TEST(RunLink, ARecordingNotAsTheGameWritesItIsRefusedWithItsLine) {
    const struct {
        std::string recording;
        std::string why;
    } cases[] = {
        {"", "line 1: not the first line of a recording"},
        {"seed 5\nframe 1\n", "line 1: not the first line of a recording"},
        {player::record::HeaderLine(), "line 1: not the first line of a recording"},
        {kHeader + "seed 5\n# a note\nframe 1\n", "line 3: not as the game writes a recording"},
        {kHeader + "seed 5\n\nframe 1\n", "line 3: not as the game writes a recording"},
        {kHeader + "seed 5\r\nframe 1\n", "line 2: not as the game writes a recording"},
        {kHeader + "frames 5\n", "line 2: not as the game writes a recording"},
        {kHeader + "frame 1\nframe 2", "line 3: not as the game writes a recording"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> form;
        std::string why;
        EXPECT_FALSE(player::run_link::FormOf(c.recording, &form, &why)) << c.recording;
        EXPECT_EQ(why.rfind(c.why, 0), 0u) << "expected \"" << c.why << "\", got \"" << why << "\"";
    }
}

TEST(RunLink, DamagedCutForeignAndNewerLinksAreRefusedWithWhatIsWrong) {
    const std::string link = LinkOrWhy(Kept("twice.rec"));
    const size_t run = link.find("#run=") + 5;
    std::string changed = link;
    changed[run + 40] = changed[run + 40] == 'A' ? 'B' : 'A';
    const struct {
        const char* what;
        std::string link;
        std::string why;
    } cases[] = {
        {"no run", KAWAUO_SITE_URL, "no run in it"},
        {"nothing after the mark", link.substr(0, run), "truncated"},
        {"cut when copied", link.substr(0, link.size() - 9), "truncated"},
        {"cut to a length base64 never has", link.substr(0, run + 4 * 20 + 1), "truncated"},
        {"a character changed", changed, "damaged"},
        {"a character no link holds", link.substr(0, run + 3) + "+" + link.substr(run + 4),
         "damaged: '+' at character 4"},
        {"more after the run", link + "AAAA", "damaged"},
        {"another's run", "https://example.org/#run=SGVsbG8gd29ybGQ", "not a link of a kawauo run"},
        {"a newer format", KAWAUO_SITE_URL "#run=awIAAA", "made by a newer kawauo (its link format is 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NE(WhyRefused(c.link).find(c.why), std::string::npos)
            << "expected \"" << c.why << "\", got \"" << WhyRefused(c.link) << "\"";
    }
    EXPECT_EQ(WhyRefused(link + "\r\n"), "") << "the line's end a file gives it is no part of the link";
}

// A form that reads whole but holds what the writer never writes, its check
// made to match: refused, so that one run has one link.
TEST(RunLink, AFormTheWriterWouldNotHaveWrittenIsRefused) {
    const std::vector<uint8_t> good = FormOf(kHeader + "seed 3\ndown UP\nframe 20\n");
    std::vector<uint8_t> body(good.begin(), good.end() - 4);
    const size_t version = 1 + body[0];  // the version's length, then its bytes
    auto edited = [&](size_t at, std::vector<uint8_t> bytes, size_t removing = 0) {
        std::vector<uint8_t> form = body;
        form.erase(form.begin() + static_cast<std::ptrdiff_t>(at),
                   form.begin() + static_cast<std::ptrdiff_t>(at + removing));
        form.insert(form.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin(), bytes.end());
        return Checked(form);
    };
    // After the version: 1 frame, 2 lines; seed (code 0) 3 zigzagged; down UP (8 + 2 × 4); the frame.
    ASSERT_EQ(std::vector<uint8_t>(body.begin() + static_cast<std::ptrdiff_t>(version), body.end() - 1),
              (std::vector<uint8_t>{1, 2, 0, 0, 6, 0, 16}));
    const struct {
        const char* what;
        std::vector<uint8_t> form;
    } cases[] = {
        {"its check does not match",
         [&] {
             std::vector<uint8_t> form = good;
             form.back() ^= 1;
             return form;
         }()},
        {"a number written long", edited(version, {0x81, 0x00}, 1)},
        {"a code no line has", edited(version + 6, {7}, 1)},
        {"a language no game has", edited(version + 6, {4 + 2}, 1)},
        {"a key past the last", edited(version + 6, {8 + 20}, 1)},
        {"a line placed past the last frame", edited(version + 5, {2}, 1)},
        {"more lines than it holds", edited(version + 1, {3}, 1)},
        {"a byte left over", edited(body.size(), {0})},
        {"a reading before the clock's start", edited(body.size() - 1, {0x02}, 1)},
        {"a step past the clock's end",
         edited(body.size() - 1, {81, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}, 1)},
        {"no version", edited(0, {0}, version)},
    };
    for (const auto& c : cases) {
        std::string recording, why;
        EXPECT_FALSE(player::run_link::RecordingOf(c.form, &recording, &why)) << c.what << ":\n" << recording;
        EXPECT_EQ(why.rfind("damaged", 0), 0u) << c.what << ": " << why;
    }
}

TEST(RunLink, NothingLongerThanARecordingMayBeIsMade) {
    std::vector<uint8_t> deflated, bytes;
    std::string why;
    ASSERT_TRUE(player::run_link::Deflate(std::vector<uint8_t>(5000, 0), &deflated, &why)) << why;
    EXPECT_FALSE(player::run_link::Inflate(deflated, 4999, &bytes, &why));
    EXPECT_EQ(why, "its run is longer than a recording may be");
    EXPECT_TRUE(player::run_link::Inflate(deflated, 5000, &bytes, &why)) << why;
    // Each 0 a frame on time: a few megabytes that would make a recording past a file's bound.
    const uint64_t frames = winapi::kMaxReadBytes / 8;
    std::vector<uint8_t> form{5, '1', '.', '0', '.', '0'};
    for (uint64_t n = frames;; n >>= 7) {
        form.push_back(static_cast<uint8_t>((n & 0x7F) | (n >= 0x80 ? 0x80 : 0)));
        if (n < 0x80) break;
    }
    form.push_back(0);
    form.insert(form.end(), frames, 0);
    std::string recording;
    EXPECT_FALSE(player::run_link::RecordingOf(Checked(form), &recording, &why));
    EXPECT_EQ(why, "its run is longer than a recording may be");
}

}  // namespace
