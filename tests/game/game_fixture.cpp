// The headless game the game's suites run on.
#include "tests/game/game_fixture.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "display/device.h"
#include "display/registry.h"
#include "game/assets.h"
#include "game/drift.h"
#include "game/fish.h"
#include "game/frame.h"
#include "game/moves.h"
#include "game/picture_table.h"
#include "game/play.h"
#include "game/random.h"
#include "game/river.h"
#include "game/thought.h"
#include "tests/support/support.h"
#include "tools/bmpwrite/bmp_write.h"
#include "winapi/cp932.h"

namespace {

// Every entry a colour of its own, so colour matching keeps each index.
void TestPalette(PALETTEENTRY palette[256]) {
    for (int i = 0; i < 256; ++i) {
        palette[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 37), 0};
    }
}

// Each picture is its own index, with index 0 in the top-left corner as key.
void WritePictures(const std::string& dir) {
    PALETTEENTRY palette[256];
    TestPalette(palette);
    std::filesystem::create_directories(dir + "/bmp");
    int index = 1;
    for (const PictureFile& file : kPictureFiles) {
        std::vector<uint8_t> pixels(static_cast<size_t>(file.width) * file.height, static_cast<uint8_t>(index++));
        pixels[0] = 0;
        const std::string path = dir + "/bmp/" + file.name;
        ASSERT_TRUE(WriteFile(path, EncodeBmp8(file.width, file.height, pixels, palette))) << path;
    }
}

// The pictures' folder, one for the whole run. The suites work inside it, so
// the process steps back to where it started before the folder goes.
class PictureFolder {
public:
    ~PictureFolder() {
        std::error_code ec;
        std::filesystem::current_path(start_, ec);
    }
    const std::string& path() const { return folder_.path(); }

private:
    std::filesystem::path start_ = std::filesystem::current_path();
    testsupport::TempFolder folder_{"kawauo-game-test"};
};

LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// All of the game's state back to program start.
void ClearGameState() {
    g_scene = 0;
    g_frameTick = 0;
    g_keyLatch = 0;
    g_fish = FishState{};
    g_pollution = 0;
    g_paused = 0;
    g_pauseLatch = 0;
    g_pollutionTick = 0;
    g_drainTick = 0;
    for (int32_t& flag : g_mutation) flag = 0;
    for (SpecialMove& move : g_specialMoves) move = SpecialMove{};
    for (DriftObject& object : g_drift) object = DriftObject{};
    for (int32_t& flag : g_objectActive) flag = 0;
    g_objectInFlight = 0;
    for (BubbleSprite& bubble : g_bubbles) bubble = BubbleSprite{};
    g_scrollX = 0;
    g_thought = 0;
    g_thoughtTick = 0;
    g_surfaceCount = 0;
    for (IDirectDrawSurface*& surface : g_surfaces) surface = nullptr;
    std::memset(g_surfaceNames, 0, sizeof g_surfaceNames);
}

}  // namespace

uint32_t FindSeed(const std::function<bool(Lcg&)>& wanted) {
    for (uint32_t seed = 0; seed < 50000000u; ++seed) {
        Lcg lcg{seed};
        if (wanted(lcg)) return seed;
    }
    ADD_FAILURE() << "no seed found";
    return 0;
}

std::string Utf8(const char* cp932) { return winapi::Cp932ToUtf8(cp932, std::strlen(cp932)); }

std::string Fill(const char* cp932Format, const std::vector<std::string>& fields) {
    const std::string format = Utf8(cp932Format);
    std::string out;
    size_t field = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%') {
            const size_t end = format.find('d', i);
            EXPECT_LT(field, fields.size()) << "more directives than fields in " << format;
            out += field < fields.size() ? fields[field++] : "";
            i = end;
        } else {
            out += format[i];
        }
    }
    EXPECT_EQ(field, fields.size()) << "fewer directives than fields in " << format;
    return out;
}

std::string PictureName(const IDirectDrawSurface* surface) {
    if (surface == nullptr) return "(none)";
    if (surface == g_back) return "(back buffer)";
    for (int i = 0; i < g_surfaceCount; ++i) {
        if (g_surfaces[i] == surface) {
            std::string name = g_surfaceNames[i];
            const size_t slash = name.find_last_of('\\');
            name = name.substr(slash + 1);
            return name.substr(0, name.size() - 4);  // without ".bmp"
        }
    }
    return "?";
}

std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top) + ")";
}

RECT Box(int32_t x, int32_t y, int32_t w, int32_t h) { return RECT{x, y, x + w, y + h}; }

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void GameTest::SetUpTestSuite() {
    static PictureFolder folder;
    static bool written = false;
    if (!written) {
        written = true;
        WritePictures(folder.path());
    }
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
}

void GameTest::SetUp() {
    headless::Reset();
    headless::SetCalendarSeconds(kCalendarSeconds);
    headless::SetMilliseconds(kStartMs);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "2DGAME";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    window_ = CreateWindowExA(0, "2DGAME", "2DGAME", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    SetFocus(window_);
    ASSERT_EQ(InitDirectDraw(), 1);
    ClearGameState();
    LoadAssets();
    ASSERT_EQ(g_surfaceCount, 33);
    ASSERT_TRUE(headless::MessageBoxes().empty()) << headless::MessageBoxes()[0].text;
    winapi::RecordDraws(true);
    winapi::TakeDraws();
}

void QuietGameTest::SetUp() {
    GameTest::SetUp();
    NewGame(kStartMs);
    Quiet(kStartMs);
    Notes();
}

void GameTest::TearDown() {
    ReleaseAssets();
    ReleaseDirectDraw();
    headless::Reset();
}

void GameTest::Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void GameTest::Hold(int virtualKey) {
    headless::KeyDown(virtualKey);
    Pump();
}

void GameTest::Lift(int virtualKey) {
    headless::KeyUp(virtualKey);
    Pump();
}

void GameTest::SetClock(uint32_t ms) {
    headless::SetMilliseconds(ms);
    g_frameTick = static_cast<int32_t>(ms);
}

void GameTest::Frame(uint32_t ms) {
    headless::SetMilliseconds(ms);
    RunFrame();
}

void GameTest::NewGame(uint32_t ms) {
    SetClock(ms);
    ASSERT_EQ(SceneNewGame(), kScenePlay);
    g_scene = kScenePlay;
}

void GameTest::Quiet(uint32_t ms) {
    SetClock(ms);
    const int32_t now = static_cast<int32_t>(ms);
    g_fish.moveTick = now;
    g_fish.distanceTick = now;
    g_fish.animTick = now;
    g_pollutionTick = now;
    g_drainTick = now;
    g_thoughtTick = now;
    g_objectInFlight = 1;  // and no slot active: nothing spawns, nothing drifts
}

std::vector<winapi::DrawNote> GameTest::Notes() { return winapi::TakeDraws(); }

std::vector<Blit> GameTest::Blits(const std::vector<winapi::DrawNote>& notes) {
    std::vector<Blit> blits;
    for (const winapi::DrawNote& note : notes) {
        if (note.kind != winapi::DrawNote::kBlt) continue;
        blits.push_back(Blit{PictureName(note.blt.src), note.blt.destRect, note.blt.srcRect, note.blt.keyed});
    }
    return blits;
}

std::vector<winapi::TextNote> GameTest::Texts(const std::vector<winapi::DrawNote>& notes) {
    std::vector<winapi::TextNote> texts;
    for (const winapi::DrawNote& note : notes)
        if (note.kind == winapi::DrawNote::kText) texts.push_back(note.text);
    return texts;
}

std::vector<std::string> GameTest::PictureNames(const std::vector<winapi::DrawNote>& notes) {
    std::vector<std::string> names;
    for (const Blit& blit : Blits(notes)) names.push_back(blit.picture);
    return names;
}

bool GameTest::Drew(const std::vector<winapi::DrawNote>& notes, const std::string& picture) {
    for (const Blit& blit : Blits(notes))
        if (blit.picture == picture) return true;
    return false;
}
