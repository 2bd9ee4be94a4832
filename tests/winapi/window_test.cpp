// The window, its message queue and key state, the clock, message boxes and
// debug lines, on the headless host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts/headless/headless.h"
#include "winapi/win.h"
#include "winapi/window_state.h"

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
};

std::vector<Seen> g_seen;

// Records what it is sent and answers as the game's procedure does for
// closing: WM_CLOSE destroys the window, WM_DESTROY asks to quit.
LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(Seen{window, message, wParam});
    switch (message) {
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        case WM_KEYDOWN: return 0x100 + static_cast<LRESULT>(wParam);  // shows the result comes back
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

WNDCLASSA GameClass(const char* name) {
    WNDCLASSA c{};
    c.lpfnWndProc = RecordingProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    c.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    c.lpszClassName = name;
    return c;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        g_seen.clear();
        WNDCLASSA c = GameClass("2DGAME");
        ASSERT_NE(RegisterClassA(&c), 0);
        window_ = CreateWindowExA(0, "2DGAME", "2DGAME", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        SetFocus(window_);
    }
    void TearDown() override { headless::Reset(); }

    // Takes every waiting message off the queue, as the message loop does.
    std::vector<MSG> Drain() {
        std::vector<MSG> taken;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) taken.push_back(m);
        return taken;
    }

    HWND window_ = nullptr;
};

TEST_F(WindowTest, HostEventsBecomeMessagesForTheWindowInOrder) {
    struct Row {
        const char* name;
        void (*queue)();
        UINT message;
        WPARAM wParam;
    };
    const Row rows[] = {
        {"key down F2", [] { headless::KeyDown(VK_F2); }, WM_KEYDOWN, VK_F2},
        {"key up F2", [] { headless::KeyUp(VK_F2); }, WM_KEYUP, VK_F2},
        {"activate", [] { headless::Activate(true); }, WM_ACTIVATEAPP, 1},
        {"deactivate", [] { headless::Activate(false); }, WM_ACTIVATEAPP, 0},
        {"close", [] { headless::Close(); }, WM_CLOSE, 0},
    };
    for (const Row& row : rows) row.queue();
    std::vector<MSG> taken = Drain();
    ASSERT_EQ(taken.size(), std::size(rows));
    for (size_t i = 0; i < taken.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(taken[i].hwnd, window_);
        EXPECT_EQ(taken[i].message, rows[i].message);
        EXPECT_EQ(taken[i].wParam, rows[i].wParam);
    }
}

TEST_F(WindowTest, PeekWithoutRemoveLeavesTheMessageWaiting) {
    headless::KeyDown(VK_SPACE);
    headless::KeyUp(VK_SPACE);
    MSG m{};
    for (int look = 0; look < 3; ++look) {
        ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) << "look " << look;
        EXPECT_EQ(m.message, WM_KEYDOWN) << "look " << look;
    }
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, WM_KEYUP);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(WindowTest, QuitComesAfterEveryOtherMessageAndOnlyOnce) {
    headless::KeyDown(VK_LEFT);
    PostQuitMessage(7);
    headless::Activate(false);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_KEYDOWN) << "queued messages come before the quit request";

    const UINT expected[] = {WM_KEYDOWN, WM_ACTIVATEAPP};
    for (UINT message : expected) {
        ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
        EXPECT_EQ(m.message, message);
    }
    // Seen as waiting, and still there after a look.
    for (int look = 0; look < 2; ++look) {
        ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(m.message, WM_QUIT);
    }
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) << "WM_QUIT is returned once";
}

TEST_F(WindowTest, PeekWithRemoveTakesTheQuitRequest) {
    PostQuitMessage(3);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, FiltersChooseByWindowAndMessageRange) {
    WNDCLASSA other = GameClass("OTHER");
    ASSERT_NE(RegisterClassA(&other), 0);
    HWND second = CreateWindowExA(0, "OTHER", "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(second, nullptr);  // events now go to this newest window
    headless::KeyDown(VK_UP);
    headless::Activate(true);
    PostQuitMessage(0);
    struct Row {
        HWND window;
        UINT min, max;
        UINT expected;  // 0: nothing
    } rows[] = {
        {nullptr, 0, 0, WM_KEYDOWN},
        {second, 0, 0, WM_KEYDOWN},
        {window_, 0, 0, WM_QUIT},  // nothing for it but the quit request
        {nullptr, WM_ACTIVATEAPP, WM_ACTIVATEAPP, WM_ACTIVATEAPP},
        {nullptr, WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN},
        {nullptr, WM_CLOSE, WM_CLOSE, WM_QUIT},
    };
    for (const Row& row : rows) {
        MSG m{};
        ASSERT_TRUE(PeekMessageA(&m, row.window, row.min, row.max, PM_NOREMOVE));
        EXPECT_EQ(m.message, row.expected) << "filter " << row.min << ".." << row.max;
    }
}

TEST_F(WindowTest, DispatchCallsTheProcedureAndReturnsItsResult) {
    headless::KeyDown(VK_F3);
    MSG m{};
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(TranslateMessage(&m), FALSE);
    EXPECT_EQ(DispatchMessageA(&m), 0x100 + VK_F3);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].hwnd, window_);
    EXPECT_EQ(g_seen[0].message, WM_KEYDOWN);
    MSG quit{nullptr, WM_QUIT, 0, 0};
    EXPECT_EQ(DispatchMessageA(&quit), 0);
    EXPECT_EQ(g_seen.size(), 1u) << "a message for no window reaches no procedure";
}

TEST_F(WindowTest, DestroyWindowSendsDestroyAtOnceAndDropsItsMessages) {
    headless::KeyDown(VK_RIGHT);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_EQ(DestroyWindow(window_), TRUE);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].message, WM_DESTROY);
    EXPECT_EQ(g_seen[0].hwnd, window_);

    EXPECT_EQ(DestroyWindow(window_), FALSE) << "a second destroy is refused";
    EXPECT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_STREQ(winapi::WindowTitle(window_), "");

    headless::KeyDown(VK_DOWN);  // nobody left to receive it
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT) << "only the procedure's quit request is left";
}

TEST_F(WindowTest, DefaultProcedureClosesTheWindow) {
    EXPECT_EQ(DefWindowProcA(window_, WM_CLOSE, 0, 0), 0);
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen.back().message, WM_DESTROY);
    EXPECT_EQ(DefWindowProcA(window_, WM_KEYUP, VK_TAB, 0), 0);
}

// The game's loop: every waiting message is dispatched before a frame runs,
// and a close request ends it through WM_DESTROY and WM_QUIT.
TEST_F(WindowTest, LoopDispatchesEverythingWaitingBeforeEachFrameAndEndsOnClose) {
    headless::Activate(true);
    headless::KeyDown(VK_SPACE);
    std::vector<size_t> seenAtFrame;
    MSG m{};
    int turns = 0;
    for (; turns < 100; ++turns) {
        if (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&m, nullptr, 0, 0)) break;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        } else {
            seenAtFrame.push_back(g_seen.size());
            if (seenAtFrame.size() == 2) headless::Close();
        }
    }
    ASSERT_LT(turns, 100) << "the loop never saw WM_QUIT";
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 0u);
    ASSERT_EQ(seenAtFrame.size(), 2u);
    EXPECT_EQ(seenAtFrame[0], 2u) << "both waiting messages go before the first frame";
    std::vector<UINT> messages;
    for (const Seen& s : g_seen) messages.push_back(s.message);
    EXPECT_EQ(messages, (std::vector<UINT>{WM_ACTIVATEAPP, WM_KEYDOWN, WM_CLOSE, WM_DESTROY}));
}

// A key counts as held when its state, sign-extended, has a bit of 0xF0.
bool Held(int key) { return (static_cast<int32_t>(GetKeyState(key)) & 0xF0) != 0; }

TEST_F(WindowTest, KeyStateChangesOnlyWhenItsMessageIsTaken) {
    enum Step { kDown, kUp, kLook, kTake };
    struct Row {
        Step step;
        uint16_t expected;
    } rows[] = {
        {kLook, 0x0000}, {kDown, 0x0000}, {kLook, 0x0000}, {kTake, 0xFF81},  // first press: toggle on
        {kDown, 0xFF81}, {kTake, 0xFF81},                                    // a repeat keeps the toggle
        {kUp, 0xFF81},   {kLook, 0xFF81}, {kTake, 0x0001},                   // released, toggle stays
        {kDown, 0x0001}, {kTake, 0xFF80}, {kUp, 0xFF80},   {kTake, 0x0000},  // second press: toggle off
    };
    MSG m{};
    int i = 0;
    for (const Row& row : rows) {
        switch (row.step) {
            case kDown: headless::KeyDown(VK_F1); break;
            case kUp: headless::KeyUp(VK_F1); break;
            case kLook: PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE); break;
            case kTake: PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); break;
        }
        uint16_t state = static_cast<uint16_t>(GetKeyState(VK_F1));
        EXPECT_EQ(state, row.expected) << "step " << i << ": expected 0x" << std::hex << row.expected << ", got 0x"
                                       << state;
        EXPECT_EQ(Held(VK_F1), (row.expected & 0xFF80) == 0xFF80) << "step " << i;
        ++i;
    }
    EXPECT_EQ(GetKeyState(VK_F2), 0) << "other keys are untouched";
}

TEST_F(WindowTest, GetMessageTakesTheKeyToo) {
    headless::KeyDown(VK_TAB);
    MSG m{};
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_TRUE(Held(VK_TAB));
    headless::KeyUp(VK_TAB);
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_FALSE(Held(VK_TAB));
}

TEST_F(WindowTest, KeysOutsideTheTableAreNeverHeld) {
    headless::KeyDown(300);
    headless::KeyDown(-5);
    EXPECT_EQ(Drain().size(), 2u);
    for (int key : {-5, -1, 256, 300}) EXPECT_EQ(GetKeyState(key), 0) << "key " << key;
}

TEST(WindowFaults, InjectedFaultsFailTheNextCallOnly) {
    struct Row {
        const char* call;
        bool classFails;
    } rows[] = {{"RegisterClassA", true}, {"CreateWindowExA", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        headless::Reset();
        headless::FailNext(row.call, DDERR_GENERIC);
        WNDCLASSA c = GameClass("2DGAME");
        ATOM atom = RegisterClassA(&c);
        if (row.classFails) {
            EXPECT_EQ(atom, 0);
            atom = RegisterClassA(&c);
        }
        ASSERT_NE(atom, 0);
        HWND w = CreateWindowExA(0, "2DGAME", "2DGAME", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (!row.classFails) {
            EXPECT_EQ(w, nullptr);
            w = CreateWindowExA(0, "2DGAME", "2DGAME", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        }
        EXPECT_NE(w, nullptr);
    }
    headless::Reset();
}

TEST(WindowClasses, RegistrationAndLookup) {
    headless::Reset();
    WNDCLASSA c = GameClass("2DGAME");
    ATOM atom = RegisterClassA(&c);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterClassA(&c), 0) << "a class is registered once";
    WNDCLASSA noProc = GameClass("NOPROC");
    noProc.lpfnWndProc = nullptr;
    EXPECT_EQ(RegisterClassA(&noProc), 0);
    EXPECT_EQ(RegisterClassA(nullptr), 0);

    struct Row {
        const char* className;
        bool found;
    } rows[] = {{"2DGAME", true},
                {"2dgame", true},
                {reinterpret_cast<const char*>(uintptr_t{atom}), true},
                {"3DGAME", false},
                {nullptr, false}};
    for (const Row& row : rows) {
        HWND w = CreateWindowExA(0, row.className, "t", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(w != nullptr, row.found) << "row " << (&row - rows);
    }
    headless::Reset();
}

TEST_F(WindowTest, FocusMakesTheWindowActiveAndTitleIsKept) {
    EXPECT_EQ(GetActiveWindow(), window_);
    EXPECT_STREQ(winapi::WindowTitle(window_), "2DGAME");
    EXPECT_STREQ(winapi::WindowTitle(nullptr), "");
    headless::Reset();
    EXPECT_EQ(GetActiveWindow(), nullptr) << "a reset forgets the window";
    EXPECT_EQ(SetFocus(window_), nullptr) << "a stale handle is refused";
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(WindowTest, CursorCounterHidesBelowZero) {
    struct Row {
        BOOL show;
        int count;
        bool visible;
    } rows[] = {{FALSE, -1, false}, {FALSE, -2, false}, {TRUE, -1, false}, {TRUE, 0, true}, {TRUE, 1, true}};
    EXPECT_TRUE(headless::CursorVisible());
    for (const Row& row : rows) {
        EXPECT_EQ(ShowCursor(row.show), row.count);
        EXPECT_EQ(headless::CursorVisible(), row.visible) << "count " << row.count;
    }
}

TEST(WindowServices, ScreenMetricsClockAndCalendarComeFromTheHost) {
    headless::Reset();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    headless::SetDesktopSize(1920, 1080);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    for (uint32_t ms : {0u, 16u, 0xFFFFFFFFu}) {
        headless::SetMilliseconds(ms);
        EXPECT_EQ(GetTickCount(), ms);
    }
    headless::SetCalendarSeconds(4102444800);  // past 2^32: no truncation
    EXPECT_EQ(CalendarTime(), 4102444800);
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), "BMP\\BACK.BMP", RT_BITMAP), nullptr);
    headless::Reset();
    EXPECT_EQ(GetTickCount(), 0u);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
}

}  // namespace
