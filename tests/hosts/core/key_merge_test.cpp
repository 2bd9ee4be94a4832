// Keyboard and pads merged into the game's keys: one press for two holders,
// and the stick's bounds (the SDL host's tests cover the rest).
#include "hosts/core/key_merge.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "winapi/win.h"

namespace {

using Told = std::vector<std::pair<int, bool>>;
Told g_told;

void Record(int virtualKey, bool down) { g_told.emplace_back(virtualKey, down); }

constexpr uint32_t kA = 1u << 0;
constexpr core::PadButton kButtons[] = {{kA, VK_SPACE}};

class KeyMergeTest : public ::testing::Test {
protected:
    void SetUp() override { g_told.clear(); }
    void Sync(const core::PadState& pad) { keys.Sync(keys.PadKeys(pad)); }
    core::KeyMerge keys{kButtons, Record};
};

// Windows repeats a held key's press; one release still lets it go.
TEST_F(KeyMergeTest, KeyboardAndPadHoldingOneKeyPressItOnce) {
    keys.KeyboardSet(VK_SPACE, true);
    keys.KeyboardSet(VK_SPACE, true);
    Sync({kA, 0, 0});
    keys.KeyboardSet(VK_SPACE, false);
    Sync({kA, 0, 0});
    EXPECT_EQ(g_told, (Told{{VK_SPACE, true}}));
    Sync({});
    EXPECT_EQ(g_told, (Told{{VK_SPACE, true}, {VK_SPACE, false}}));
}

TEST(StickDirection, PressesBeyondOneBoundAndLetsGoBelowAnother) {
    struct Case {
        int previous, value, expected;
    } cases[] = {
        {0, 16000, 0}, {0, 16001, 1},    {0, -16001, -1}, {0, -32768, -1}, {1, 12000, 1},
        {1, 11999, 0}, {-1, -12000, -1}, {-1, 11999, 0},  {1, -16001, -1}, {0, 14000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::StickDirection(c.previous, c.value), c.expected) << c.previous << " then " << c.value;
}

}  // namespace
