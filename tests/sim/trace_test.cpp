// The trace writer on its own: every field where it belongs, strings that
// stay valid JSON whatever bytes they carry, and the draw list's names.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>

#include "display/registry.h"
#include "game/drift.h"
#include "game/fish.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/play.h"
#include "game/river.h"
#include "game/thought.h"
#include "sim/trace.h"

namespace {

using Json = nlohmann::ordered_json;

// What the writer wrote, one parsed JSON object a line.
class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = std::tmpfile();
        ASSERT_NE(file_, nullptr);
    }
    void TearDown() override { std::fclose(file_); }
    std::vector<Json> Lines(sim::TraceWriter& trace) {
        EXPECT_TRUE(trace.Flush()) << std::strerror(trace.Error());
        std::rewind(file_);
        std::vector<Json> lines;
        char buffer[1 << 16];
        while (std::fgets(buffer, sizeof buffer, file_)) {
            size_t length = std::strlen(buffer);
            EXPECT_EQ(buffer[length - 1], '\n') << "a line without its line feed";
            lines.push_back(Json::parse(buffer));
        }
        return lines;
    }
    std::FILE* file_ = nullptr;
};

TEST_F(TraceTest, StringsAreEscapedAndAlwaysValidUtf8) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;  // as UTF-8 after parsing
    } cases[] = {
        {"plain", "abc", "abc"},
        {"quote and backslash", "a\"b\\c", "a\"b\\c"},
        {"control characters", std::string("\n\t\x01\x1f", 4), "\n\t\x01\x1f"},
        {"Japanese", "水質汚染", "水質汚染"},
        {"four-byte sequence", "\xF0\x9F\x90\x9F", "\xF0\x9F\x90\x9F"},
        {"CP932 bytes", "\x90\x85", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"truncated sequence", "a\xE6\xB0", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"overlong slash", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"NUL inside", std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    sim::TraceWriter trace(file_);
    for (const Case& c : cases) trace.Debug(c.bytes);
    std::vector<Json> lines = Lines(trace);
    ASSERT_EQ(lines.size(), std::size(cases));
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], Json({{"event", "debug"}, {"text", cases[i].expected}}))
            << cases[i].name;
    }
}

TEST_F(TraceTest, EventsHaveTheirOwnKeys) {
    sim::TraceWriter trace(file_);
    trace.MessageBox("cap", "text");
    trace.Exit(-3);
    std::vector<Json> lines = Lines(trace);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].dump(), R"({"event":"messagebox","caption":"cap","text":"text"})");
    EXPECT_EQ(lines[1].dump(), R"({"event":"exit","code":-3})");
}

// Every traced integer gets a distinct value, so a field written in the wrong
// place, or twice, shows.
TEST_F(TraceTest, FrameFieldsAreInTheirPlaces) {
    int32_t next = 1000;
    auto fill = [&next](int32_t* values, size_t count) {
        for (size_t i = 0; i < count; ++i) values[i] = next++;
    };
    g_frameTick = -5;
    g_scene = 2;
    fill(&g_fish.hp, sizeof g_fish / 4);
    g_pollution = next++;
    g_paused = next++;
    g_pauseLatch = next++;
    g_keyLatch = next++;
    g_pollutionTick = next++;
    g_drainTick = next++;
    fill(g_mutation, kMutationCount);
    for (SpecialMove& m : g_specialMoves) fill(&m.keyLatch, 4);
    fill(g_objectActive, kDriftSlots);
    g_objectInFlight = next++;
    for (DriftObject& d : g_drift) fill(&d.value, 7);
    g_thought = next++;
    g_thoughtTick = next++;
    g_scrollX = next++;
    for (BubbleSprite& b : g_bubbles) {
        fill(&b.x, 5);
        b.waitStart = 0xFFFFFFF0u;  // unsigned ticks stay unsigned
        b.lastSeen = 0x80000000u;
        b.animStart = static_cast<uint32_t>(next++);
        b.animNow = static_cast<uint32_t>(next++);
    }

    sim::TraceWriter trace(file_);
    trace.Frame(7, nullptr);
    std::vector<Json> lines = Lines(trace);
    ASSERT_EQ(lines.size(), 1u);
    const Json& f = lines[0];
    int32_t expect = 1000;
    auto run = [&expect](size_t count) {
        Json values = Json::array();
        for (size_t i = 0; i < count; ++i) values.push_back(expect++);
        return values;
    };
    EXPECT_EQ(f["frame"], 7);
    EXPECT_EQ(f["tick"], -5);
    EXPECT_EQ(f["scene"], 2);
    EXPECT_EQ(f["fish"], run(16));
    for (const char* key :
         {"pollution", "paused", "pauseLatch", "keyLatch", "pollutionTick", "drainTick"}) {
        EXPECT_EQ(f[key], expect++) << key;
    }
    EXPECT_EQ(f["mutation"], run(9));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(f["moves"][i], run(4)) << "move " << i;
    EXPECT_EQ(f["objectActive"], run(6));
    EXPECT_EQ(f["inFlight"], expect++);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(f["drift"][i], run(7)) << "drift slot " << i;
    EXPECT_EQ(f["thought"], expect++);
    EXPECT_EQ(f["thoughtTick"], expect++);
    EXPECT_EQ(f["scrollX"], expect++);
    for (int i = 0; i < 20; ++i) {
        Json bubble = run(5);
        bubble.push_back(4294967280u);
        bubble.push_back(2147483648u);
        bubble.push_back(expect++);
        bubble.push_back(expect++);
        EXPECT_EQ(f["bubbles"][i], bubble) << "bubble " << i;
    }
    EXPECT_FALSE(f.contains("draws"));
}

TEST_F(TraceTest, DrawsNameTheirSourceAsRegistered) {
    // The registry is only read here: two entries pointing at made-up surfaces.
    auto* fish = reinterpret_cast<IDirectDrawSurface*>(uintptr_t{0x1000});
    auto* sign = reinterpret_cast<IDirectDrawSurface*>(uintptr_t{0x2000});
    auto* unknown = reinterpret_cast<IDirectDrawSurface*>(uintptr_t{0x3000});
    g_surfaceCount = 2;
    g_surfaces[0] = fish;
    std::strcpy(g_surfaceNames[0], "bmp\\fish1.bmp");
    g_surfaces[1] = sign;
    std::strcpy(g_surfaceNames[1], "bmp\\\x90\x85.bmp");  // CP932 for 水

    auto blt = [](IDirectDrawSurface* src, bool keyed) {
        winapi::DrawNote note{};
        note.kind = winapi::DrawNote::kBlt;
        note.blt =
            winapi::BltNote{nullptr, src, RECT{10, 20, 180, 190}, RECT{0, 5, 170, 100}, keyed};
        return note;
    };
    winapi::DrawNote text{};
    text.kind = winapi::DrawNote::kText;
    text.text = winapi::TextNote{3, -4, 0x00FFFF00u, "体力 \"x\""};
    winapi::DrawNote flip{};
    flip.kind = winapi::DrawNote::kFlip;
    std::vector<winapi::DrawNote> draws = {
        blt(fish, false), blt(sign, true), blt(unknown, true), blt(nullptr, false), text, flip};

    sim::TraceWriter trace(file_);
    trace.Frame(1, &draws);
    std::vector<Json> lines = Lines(trace);
    g_surfaceCount = 0;
    g_surfaces[0] = g_surfaces[1] = nullptr;
    ASSERT_EQ(lines.size(), 1u);
    Json expected = Json::parse(R"([
        ["blt", "bmp\\fish1.bmp", 10, 20, 170, 170, 0, 5, 170, 95],
        ["keyed", "bmp\\水.bmp", 10, 20, 170, 170, 0, 5, 170, 95],
        ["keyed", null, 10, 20, 170, 170, 0, 5, 170, 95],
        ["blt", null, 10, 20, 170, 170, 0, 5, 170, 95],
        ["text", 3, -4, 16776960, "体力 \"x\""],
        ["flip"]])");
    EXPECT_EQ(lines[0]["draws"], expected);
}

}  // namespace
