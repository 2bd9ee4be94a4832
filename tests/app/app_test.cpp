// The application shell: the main window, its procedure, and how WinMain
// ends when the window, the display or the pictures cannot be had.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "display/device.h"
#include "display/registry.h"
#include "display/texts.h"
#include "game/assets.h"
#include "hosts/headless/headless.h"
#include "tests/display/display_fixture.h"
#include "winapi/cp932.h"
#include "winapi/window_state.h"

namespace {

bool QuitPosted() {
    MSG msg{};
    return PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT && msg.wParam == 0;
}

bool WindowAlive() { return std::string(winapi::WindowTitle(g_mainWindow)) == "2DGAME"; }

class AppTest : public DisplayTest {};

TEST_F(AppTest, TheMainWindowIsTheActiveFocusedPopupWithoutACursor) {
    EXPECT_TRUE(headless::CursorVisible());
    ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWDEFAULT), 1);
    EXPECT_TRUE(WindowAlive());
    EXPECT_EQ(GetActiveWindow(), g_mainWindow);
    EXPECT_FALSE(headless::CursorVisible());
    EXPECT_FALSE(QuitPosted());
}

TEST_F(AppTest, NoClassOrNoWindowMeansNoMainWindow) {
    for (const char* call : {"RegisterClassA", "CreateWindowExA"}) {
        SCOPED_TRACE(call);
        headless::Reset();
        g_mainWindow = nullptr;
        headless::FailNext(call, DDERR_GENERIC);
        EXPECT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWDEFAULT), 0);
        EXPECT_EQ(g_mainWindow, nullptr);
        EXPECT_EQ(GetActiveWindow(), nullptr);
    }
}

TEST_F(AppTest, WindowProcedureHandlesItsMessages) {
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        bool destroyed;
        bool quit;
    } rows[] = {
        {"ESC", WM_KEYDOWN, VK_ESCAPE, true, true},
        {"SPACE", WM_KEYDOWN, VK_SPACE, false, false},
        {"F1", WM_KEYDOWN, VK_F1, false, false},
        {"A", WM_KEYDOWN, 'A', false, false},
        {"TAB", WM_KEYDOWN, VK_TAB, false, false},
        {"ESC up", WM_KEYUP, VK_ESCAPE, false, false},
        {"close", WM_CLOSE, 0, true, true},
        {"destroy", WM_DESTROY, 0, false, true},
        {"deactivate", WM_ACTIVATEAPP, 0, false, false},
        {"other", 0x0400, 7, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        headless::Reset();
        ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWDEFAULT), 1);
        EXPECT_EQ(MainWndProc(g_mainWindow, row.message, row.wParam, 0), 0);
        EXPECT_EQ(WindowAlive(), !row.destroyed);
        EXPECT_EQ(QuitPosted(), row.quit);
    }
}

TEST_F(AppTest, ActivationRestoresLostSurfacesOnlyWhenActiveWithADisplay) {
    ASSERT_EQ(CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWDEFAULT), 1);
    EXPECT_EQ(MainWndProc(g_mainWindow, WM_ACTIVATEAPP, 1, 0), 0);  // no display yet: only recorded
    EXPECT_EQ(g_appActive, 1);
    ASSERT_EQ(InitDirectDraw(), 1);
    headless::LoseSurfaces();
    MainWndProc(g_mainWindow, WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(g_appActive, 0);
    EXPECT_NE(g_primary->IsLost(), DD_OK) << "restored on deactivation";
    // Through the queue, as the loop delivers it.
    headless::Activate(true);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&msg);
    EXPECT_EQ(g_appActive, 1);
    EXPECT_EQ(g_primary->IsLost(), DD_OK);
}

int RunWinMain() { return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWDEFAULT); }

// A run that cannot start ends at once, reporting failure.
TEST_F(AppTest, WinMainFailsWhenTheWindowOrDisplayCannotBeMade) {
    const struct {
        const char* call;  // null: no display at all
        size_t boxes;
    } rows[] = {{"RegisterClassA", 0}, {"CreateWindowExA", 0}, {nullptr, 1}, {"SetDisplayMode", 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.call ? row.call : "no display");
        headless::Reset();
        g_mainWindow = nullptr;
        if (row.call) {
            headless::FailNext(row.call, DDERR_GENERIC);
        } else {
            headless::SetDisplayAvailable(false);
        }
        EXPECT_EQ(RunWinMain(), 1);
        EXPECT_EQ(headless::MessageBoxes().size(), row.boxes);
        EXPECT_EQ(g_dd, nullptr);
        EXPECT_EQ(g_surfaceCount, 0);
        EXPECT_EQ(headless::FramesShown(), 0);
    }
}

TEST_F(AppTest, WinMainWithoutPicturesDrawsNoFrameAndReportsFailure) {
    EXPECT_EQ(RunWinMain(), 1);  // the working folder has an empty bmp folder
    EXPECT_EQ(g_fatalLoadError, 1);
    EXPECT_EQ(headless::FramesShown(), 0);
    EXPECT_EQ(g_dd, nullptr) << "the display must be released";
    EXPECT_EQ(g_surfaceCount, 0);
    ASSERT_FALSE(headless::MessageBoxes().empty());
    const std::string caption = winapi::Cp932ToUtf8(kTextCreateFailedCaption, std::strlen(kTextCreateFailedCaption));
    for (const headless::MessageBoxRecord& box : headless::MessageBoxes()) EXPECT_EQ(box.caption, caption);
}

// With the game's own pictures: frames run while no message waits, and
// every waiting message goes before the next frame.
class WinMainRunTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::filesystem::copy(std::string(KAWAUO_SOURCE_DIR) + "/bmp", "bmp", std::filesystem::copy_options::recursive);
    }
    void TearDown() override {
        // ReleaseAssets let go of the registered surfaces already.
        if (g_fatalLoadError == 0) g_surfaceCount = 0;
        headless::OnFrame(nullptr);
        AppTest::TearDown();
    }
    // After `frames` frames, the events `then` arrive.
    static void AfterFrames(int frames, void (*then)()) {
        headless::OnFrame([frames, then](HRESULT) {
            if (headless::FramesShown() == frames) then();
        });
    }
};

TEST_F(WinMainRunTest, EscapeEndsTheRunWithSuccessAfterReleasingEverything) {
    AfterFrames(3, [] {
        headless::Activate(false);
        headless::KeyDown(VK_ESCAPE);
    });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(headless::FramesShown(), 3) << "both messages go before a fourth frame";
    EXPECT_EQ(g_appActive, 0);
    EXPECT_EQ(g_surfaceCount, 33);
    EXPECT_EQ(g_picBack, nullptr) << "the game's surfaces must be released";
    EXPECT_EQ(g_dd, nullptr);
    EXPECT_EQ(headless::MessageBoxes().size(), 0u);
}

TEST_F(WinMainRunTest, ACloseRequestEndsTheRunWithSuccess) {
    AfterFrames(1, [] { headless::Close(); });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(headless::FramesShown(), 1);
    EXPECT_EQ(g_picBack, nullptr);
    EXPECT_EQ(g_dd, nullptr);
}

TEST_F(WinMainRunTest, OneMissingPictureEndsTheRunBeforeAnyFrameAndSkipsTheGameRelease) {
    std::filesystem::remove("bmp/opn.bmp");
    EXPECT_EQ(RunWinMain(), 1);
    EXPECT_EQ(headless::FramesShown(), 0);
    EXPECT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(g_fatalLoadError, 1);
    EXPECT_EQ(g_surfaceCount, 32);
    EXPECT_NE(g_picBack, nullptr) << "released although a picture failed";
    EXPECT_EQ(g_dd, nullptr);
}

}  // namespace
