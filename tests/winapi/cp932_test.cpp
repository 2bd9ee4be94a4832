// CP932 conversion of the game's own texts, broken input, file names, and
// message boxes and debug lines reaching the player as UTF-8.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "display/texts.h"
#include "game/texts.h"
#include "hosts/headless/headless.h"
#include "winapi/cp932.h"
#include "winapi/files.h"
#include "winapi/win.h"

namespace {

// The UTF-8 a text was written in, read back from the texts file.
std::string WrittenText(const char* area, const char* name) {
    std::ifstream in(std::string(KAWAUO_SOURCE_DIR) + "/" + area + "/texts.txt");
    std::string line;
    const std::string prefix = std::string(name) + "\t";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) != 0) continue;
        std::string raw = line.substr(line.find_first_not_of(" \t", prefix.size() - 1));
        std::string text;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 'n') {
                text += '\n';
                ++i;
            } else {
                text += raw[i];
            }
        }
        return text;
    }
    ADD_FAILURE() << name << " not found in " << area << "/texts.txt";
    return std::string();
}

bool ValidUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

std::string Hex(const std::string& s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

struct GameText {
    const char* area;
    const char* name;
    const char* cp932;
    size_t length;
};
#define GAME_TEXT(area, name) \
    GameText { area, #name, name, std::strlen(name) }

TEST(Cp932, GameTextsRoundTrip) {
    // clang-format off
    const GameText texts[] = {
        GAME_TEXT("display", kTextRegistryOverflow),   GAME_TEXT("display", kTextRegistryOverflowCaption),
        GAME_TEXT("display", kTextCreateFailed),       GAME_TEXT("display", kTextCreateFailedCaption),
        GAME_TEXT("display", kTextLabelOffscreenCreateSurface),
        GAME_TEXT("game", kTextKeyHelp),               GAME_TEXT("game", kTextPollutionDistance),
        GAME_TEXT("game", kTextHudHp),                 GAME_TEXT("game", kTextMoveFait),
        GAME_TEXT("game", kTextMoveSokodikara),        GAME_TEXT("game", kTextMoveTomogui),
        GAME_TEXT("game", kTextDriftValue),            GAME_TEXT("game", kTextDriftWarning),
        GAME_TEXT("game", kTextThought4),              GAME_TEXT("game", kTextThought8),
        GAME_TEXT("game", kTextResultMutation),        GAME_TEXT("game", kTextVerdictMutation4),
        GAME_TEXT("game", kTextVerdictPollution4),
    };
    // clang-format on
    for (const GameText& t : texts) {
        SCOPED_TRACE(t.name);
        std::string written = WrittenText(t.area, t.name);
        std::string bytes(t.cp932, t.length);
        std::string decoded = winapi::Cp932ToUtf8(t.cp932, t.length);
        EXPECT_EQ(decoded, written) << "bytes " << Hex(bytes);
        std::string encoded = winapi::Utf8ToCp932(written);
        EXPECT_EQ(Hex(encoded), Hex(bytes));
    }
}

// Characters whose code page bytes are known, each way.
TEST(Cp932, KnownCharacters) {
    // clang-format off
    struct Row {
        const char* cp932;
        const char* utf8;
    } rows[] = {
        {"\x82\xA0", "\xE3\x81\x82"},          // hiragana a
        {"\xB1", "\xEF\xBD\xB1"},              // half-width katakana a
        {"\x81\x60", "\xEF\xBD\x9E"},          // the code page's wave dash: full-width tilde
        {"\x81\x7C", "\xEF\xBC\x8D"},          // full-width hyphen-minus
        {"\x87\x40", "\xE2\x91\xA0"},          // circled one (NEC row 13)
        {"\x5C\x7E", "\x5C\x7E"},              // ASCII stays ASCII
        {"A\x82\xA0" "B", "A\xE3\x81\x82" "B"},
    };
    // clang-format on
    for (const Row& row : rows) {
        std::string cp932 = row.cp932;
        EXPECT_EQ(Hex(winapi::Cp932ToUtf8(cp932.data(), cp932.size())), Hex(row.utf8)) << Hex(cp932);
        EXPECT_EQ(Hex(winapi::Utf8ToCp932(row.utf8)), Hex(cp932)) << Hex(row.utf8);
    }
}

TEST(Cp932, UndecodableBytesAreReplacedNotFatal) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Row {
        std::string cp932;
        std::string utf8;
    } rows[] = {
        {"\x80", fffd},
        {"\xFF", fffd},
        {"a\x81", "a" + fffd},           // lead byte cut off by the end
        {"a\x81 b", "a" + fffd + " b"},  // bad trail byte: it is read again on its own
        {"\xA0\xFD"
         "c",
         fffd + fffd + "c"},
        {std::string("x\0y", 3), std::string("x\0y", 3)},
        {"", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Hex(winapi::Cp932ToUtf8(row.cp932.data(), row.cp932.size())), Hex(row.utf8)) << Hex(row.cp932);
    EXPECT_EQ(winapi::Cp932ToUtf8(nullptr, 5), "");
}

TEST(Cp932, UnencodableCharactersBecomeQuestionMarks) {
    struct Row {
        std::string utf8;
        std::string cp932;
    } rows[] = {
        {"\xF0\x9F\x90\x9F", "?"},  // an emoji: one character, one mark
        {"a\xE2\x82\xAC"
         "b",
         "a?b"},        // the euro sign is not in the code page
        {"\xC3", "?"},  // cut short at the end
        {"a\xE3\x81", "a?"},
        {"\x80"
         "z",
         "?z"},              // a stray continuation byte
        {"\xC0\xAF", "??"},  // an overlong slash is no slash
        {"\xED\xA0\x80"
         "k",
         "?k"},  // an encoded surrogate, one mark for it
    };
    for (const Row& row : rows) EXPECT_EQ(Hex(winapi::Utf8ToCp932(row.utf8)), Hex(row.cp932)) << Hex(row.utf8);
}

// Random bytes never crash or hang the conversion, and always come out as UTF-8.
TEST(Cp932, RandomBytesAlwaysGiveValidUtf8) {
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        std::string utf8 = winapi::Cp932ToUtf8(bytes.data(), bytes.size());
        ASSERT_TRUE(ValidUtf8(utf8)) << Hex(bytes);
        ASSERT_GE(utf8.size(), bytes.size()) << "nothing may be dropped: " << Hex(bytes);
        std::string back = winapi::Utf8ToCp932(utf8);
        ASSERT_LE(back.size(), bytes.size()) << Hex(bytes);
    }
}

TEST(Cp932, LongTextsGrowTheBuffer) {
    std::string cp932;
    for (int i = 0; i < 5000; ++i) cp932 += "\xB1\x82\xA0";
    std::string utf8 = winapi::Cp932ToUtf8(cp932.data(), cp932.size());
    ASSERT_EQ(utf8.size(), 5000u * 6);
    EXPECT_EQ(utf8.substr(utf8.size() - 6), "\xEF\xBD\xB1\xE3\x81\x82");
    EXPECT_EQ(winapi::Utf8ToCp932(utf8), cp932);
}

TEST(NativePath, GameNamesBecomePathsHere) {
    struct Row {
        const char* name;
        const char* path;
    } rows[] = {
        {"bmp\\back.bmp", "bmp/back.bmp"},
        {"bmp\\sub\\fish.bmp", "bmp/sub/fish.bmp"},
        {"bmp/opn.bmp", "bmp/opn.bmp"},
        {"back.bmp", "back.bmp"},
        {"", ""},
        {"\x95\x5C\\a.bmp", "\xE8\xA1\xA8/a.bmp"},  // a double-byte character ending in 0x5C keeps it
    };
    for (const Row& row : rows) EXPECT_EQ(winapi::NativePath(row.name), row.path) << Hex(row.name);
    EXPECT_EQ(winapi::NativePath(nullptr), "");
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { headless::Reset(); }
    void TearDown() override { headless::Reset(); }
};

TEST_F(MessageBoxTest, BoxesAreRecordedAsUtf8AndWrittenToStandardError) {
    std::string caption = WrittenText("display", "kTextCreateFailedCaption");
    std::string text = WrittenText("display", "kTextCreateFailed");
    testing::internal::CaptureStderr();
    int result = MessageBoxA(nullptr, kTextCreateFailed, kTextCreateFailedCaption, MB_OK);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].caption, caption);
    EXPECT_EQ(headless::MessageBoxes()[0].text, text);
    EXPECT_EQ(err, caption + ": " + text + "\n");

    testing::internal::CaptureStderr();
    MessageBoxA(nullptr, "DDERR_GENERIC", nullptr, MB_OK);
    err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(headless::MessageBoxes().size(), 2u);
    EXPECT_EQ(headless::MessageBoxes()[1].caption, "Error") << "a box without a caption is titled Error";
    EXPECT_EQ(err, "Error: DDERR_GENERIC\n");
}

TEST_F(MessageBoxTest, DebugLinesAreRecordedAsSentAndEndALineOnStandardError) {
    struct Row {
        std::string sent;
        std::string stderrText;
    } rows[] = {
        {"DirectDraw Error code| DDERR_GENERIC | " + std::string(kTextLabelOffscreenCreateSurface) + "\n",
         "DirectDraw Error code| DDERR_GENERIC | " + WrittenText("display", "kTextLabelOffscreenCreateSurface") + "\n"},
        {"no newline", "no newline\n"},
        {"", "\n"},
    };
    for (const Row& row : rows) {
        testing::internal::CaptureStderr();
        OutputDebugStringA(row.sent.c_str());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.stderrText);
        ASSERT_FALSE(headless::DebugLines().empty());
        EXPECT_EQ(headless::DebugLines().back() + (row.sent.empty() || row.sent.back() != '\n' ? "\n" : ""),
                  row.stderrText);
    }
    EXPECT_EQ(headless::DebugLines().size(), std::size(rows));
    OutputDebugStringA(nullptr);
    EXPECT_EQ(headless::DebugLines().size(), std::size(rows));
}

}  // namespace
