// A headless game for the game's suites: a window, the display, 33 small
// pictures of our own in a temporary folder, keys, the clock and the draw log.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "hosts/headless/headless.h"
#include "winapi/win.h"

// The generator the game should follow, written out again for the tests.
struct Lcg {
    uint32_t state;
    int32_t Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int32_t>((state >> 16) & 0x7FFF);
    }
};

// The first seed from 0 up whose generator satisfies `wanted`.
uint32_t FindSeed(const std::function<bool(Lcg&)>& wanted);

// CP932 bytes as UTF-8, as the draw log reports texts.
std::string Utf8(const char* cp932);
// A format of the game's texts in UTF-8, each "%...d" replaced in turn by the
// given field: the expected text written out by hand.
std::string Fill(const char* cp932Format, const std::vector<std::string>& fields);

// What a blit drew, by the catalogue file of its source ("?" for others).
std::string PictureName(const IDirectDrawSurface* surface);

struct Blit {
    std::string picture;
    RECT dest;
    RECT src;
    bool keyed;
};

class GameTest : public ::testing::Test {
protected:
    static constexpr uint32_t kCalendarSeconds = 1234567;
    static constexpr uint32_t kStartMs = 100000;

    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Key messages go through the queue; taking them off sets the key state.
    static void Hold(int virtualKey);
    static void Lift(int virtualKey);
    static void Pump();

    // The clock, and g_frameTick as a frame would read it.
    static void SetClock(uint32_t ms);
    // One whole frame at `ms`.
    static void Frame(uint32_t ms);
    // A new game at `ms`, leaving the scene on play.
    static void NewGame(uint32_t ms);
    // Quiet play: no timer, thought change or spawn fires at the frame tick
    // `ms` unless a test sets it up.
    static void Quiet(uint32_t ms);

    // The draw log since the last call.
    static std::vector<winapi::DrawNote> Notes();
    static std::vector<Blit> Blits(const std::vector<winapi::DrawNote>& notes);
    static std::vector<winapi::TextNote> Texts(const std::vector<winapi::DrawNote>& notes);
    static std::vector<std::string> PictureNames(const std::vector<winapi::DrawNote>& notes);
    static bool Drew(const std::vector<winapi::DrawNote>& notes, const std::string& picture);

    HWND window_ = nullptr;
};

// A new game at kStartMs held quiet, with the draw log emptied: where most
// cases of play begin.
class QuietGameTest : public GameTest {
protected:
    void SetUp() override;
};

std::string RectText(const RECT& r);
// One rect as left, top, width, height.
RECT Box(int32_t x, int32_t y, int32_t w, int32_t h);
bool SameRect(const RECT& a, const RECT& b);
