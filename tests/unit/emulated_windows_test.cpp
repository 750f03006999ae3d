// The emulated Winamp windows on the test's thread: how they are made, and what their
// window procedure passes on to the plug-in's drawing window and to the player, checked as
// the messages a recording window of the test receives.
#include "emulation/embed_window_state.h"
#include "emulation/emulated_windows.h"
#include "host/wrapper_state.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Seen {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

std::vector<Seen> g_seen;
LRESULT g_recorder_answer = 0;

LRESULT CALLBACK recorder_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    g_seen.push_back({message, wparam, lparam});
    if (message == WM_USER || message == WM_COMMAND)
        return g_recorder_answer;
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND make_recorder(DWORD ex_style = 0)
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = recorder_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "UnitRecorder";
    RegisterClassA(&window_class);
    return CreateWindowExA(ex_style, "UnitRecorder", "", WS_OVERLAPPED, 0, 0, 40, 40, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// The recorded messages among the ones a test is about, in order.
std::vector<UINT> seen_of(std::initializer_list<UINT> wanted)
{
    std::vector<UINT> result;
    for (const Seen& seen : g_seen)
        for (UINT message : wanted)
            if (seen.message == message)
                result.push_back(seen.message);
    return result;
}

std::string message_list(const std::vector<UINT>& messages)
{
    std::string out;
    char number[16];
    for (UINT message : messages) {
        snprintf(number, sizeof number, " 0x%04X", message);
        out += number;
    }
    return out;
}

void expect_sequence(const std::vector<UINT>& actual, const std::vector<UINT>& expected)
{
    EXPECT_EQ(actual, expected) << "expected" << message_list(expected) << "\n  actual"
                                << message_list(actual);
}

// Translating would add characters of its own to the keystrokes under test.
void dispatch_untranslated()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

class EmulatedWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_seen.clear();
        g_recorder_answer = 0;
        g_state.host_app_window = nullptr;
        g_state.host_winamp_window = nullptr;
        g_state.vis_window = nullptr;
        g_state.embed_state = nullptr;
        g_state.init_in_progress = 0;
    }

    void TearDown() override
    {
        destroy_parent_window();
        for (auto* field : {&g_state.embed_window, &g_state.vis_window}) {
            HWND window = *field;
            if (window && IsWindow(window))
                DestroyWindow(window);
            *field = nullptr;
        }
        for (HWND window : owned_)
            if (IsWindow(window))
                DestroyWindow(window);
        UnregisterClassA(kEmbedWindowClass, nullptr);
        UnregisterClassA(kParentWindowClass, nullptr);
        g_state.host_app_window = nullptr;
        g_state.host_winamp_window = nullptr;
        pump_messages();
    }

    HWND recorder(DWORD ex_style = 0)
    {
        owned_.push_back(make_recorder(ex_style));
        return owned_.back();
    }

    std::vector<HWND> owned_;
};

TEST_F(EmulatedWindows, ParentWindowIsAHiddenSmallWindowOfAGlobalClass)
{
    g_state.last_sync_clock = 1234;
    ASSERT_EQ(create_parent_window(), 0);
    HWND parent = g_state.parent_window;
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(g_state.last_sync_clock, 0);
    EXPECT_FALSE(IsWindowVisible(parent));
    EXPECT_EQ(GetWindowTextLengthA(parent), 0);
    EXPECT_EQ(GetClassLongA(parent, GCL_STYLE), static_cast<DWORD>(CS_GLOBALCLASS));
    EXPECT_EQ(GetClassLongA(parent, GCL_HBRBACKGROUND), static_cast<DWORD>(COLOR_MENU + 1));
    EXPECT_EQ(GetWindowLongA(parent, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT outer;
    ASSERT_TRUE(GetWindowRect(parent, &outer));
    // A top-level window is never smaller than the system's minimum tracking size.
    EXPECT_EQ(outer.right - outer.left, std::max(50, GetSystemMetrics(SM_CXMINTRACK)));
    EXPECT_EQ(outer.bottom - outer.top, std::max(30, GetSystemMetrics(SM_CYMINTRACK)));

    // Its thread owns it and takes it down with itself; made again, it replaces the class.
    EXPECT_NE(GetWindowThreadProcessId(parent, nullptr), GetCurrentThreadId());
    destroy_parent_window();
    EXPECT_FALSE(IsWindow(parent));
    ASSERT_EQ(create_parent_window(), 0);
    EXPECT_NE(g_state.parent_window, nullptr);
}

TEST_F(EmulatedWindows, BothWindowsTakeOnlyTheTopmostBitOfThePlayer)
{
    g_state.host_app_window = recorder(WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    ASSERT_EQ(create_parent_window(), 0);
    ASSERT_EQ(create_embed_window(), 0);
    for (HWND window : {g_state.parent_window.load(), g_state.embed_window.load()}) {
        const DWORD ex_style = GetWindowLongA(window, GWL_EXSTYLE);
        EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
        EXPECT_FALSE(ex_style & WS_EX_TOOLWINDOW);
    }
}

TEST_F(EmulatedWindows, FrameMeasuresItsClientAndBorderOnce)
{
    ASSERT_EQ(create_embed_window(), 0);
    HWND frame = g_state.embed_window;
    ASSERT_NE(frame, nullptr);
    char title[64];
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, kEmbedWindowTitle);
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE)) & WS_OVERLAPPEDWINDOW,
              static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    RECT client;
    ASSERT_TRUE(GetClientRect(frame, &client));
    EXPECT_EQ(g_state.client_width, client.right);
    EXPECT_EQ(g_state.client_height, client.bottom);
    EXPECT_EQ(g_state.frame_extra_width + g_state.client_width, 300);
    EXPECT_EQ(g_state.frame_extra_height + g_state.client_height, 400);
}

TEST_F(EmulatedWindows, SizeOfTheFrameIsStoredUnlessItIsMinimised)
{
    ASSERT_EQ(create_embed_window(), 0);
    ASSERT_EQ(create_parent_window(), 0);
    HWND frame = g_state.embed_window;
    EXPECT_EQ(SendMessageA(frame, WM_SIZE, 0, MAKELPARAM(200, 150)), 0);
    EXPECT_EQ(g_state.client_width, 200);
    EXPECT_EQ(g_state.client_height, 150);
    SendMessageA(frame, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(g_state.client_width, 200);
    SendMessageA(frame, WM_SIZE, 0, MAKELPARAM(0, 40));
    EXPECT_EQ(g_state.client_width, 0);
    EXPECT_EQ(g_state.client_height, 40);
    SendMessageA(frame, WM_SIZE, 0, MAKELPARAM(0xFFFF, 30));
    EXPECT_EQ(g_state.client_width, -1);
    // The main window's size changes nothing.
    EXPECT_EQ(SendMessageA(g_state.parent_window, WM_SIZE, 0, MAKELPARAM(7, 8)), 0);
    EXPECT_EQ(g_state.client_height, 30);
}

TEST_F(EmulatedWindows, MovesReachTheDrawingWindowAndTheMainWindowHidesAgain)
{
    ASSERT_EQ(create_parent_window(), 0);
    HWND parent = g_state.parent_window;
    g_state.vis_window = recorder();
    ShowWindow(parent, SW_SHOWNA);
    g_seen.clear();
    EXPECT_EQ(SendMessageA(parent, WM_MOVE, 0, MAKELPARAM(11, 12)), 1);
    EXPECT_FALSE(IsWindowVisible(parent));
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen.back().message, static_cast<UINT>(WM_MOVE));
    EXPECT_EQ(g_seen.back().lparam, MAKELPARAM(11, 12));

    g_seen.clear();
    ASSERT_TRUE(SetWindowPos(parent, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    // The drawing window's own default handling of the passed-on change adds a move of its
    // own before the main window's move arrives.
    expect_sequence(seen_of({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}),
                    {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_MOVE});
}

TEST_F(EmulatedWindows, KeystrokesGoFromTheFrameOnlyAndSystemKeysStayHome)
{
    ASSERT_EQ(create_parent_window(), 0);
    ASSERT_EQ(create_embed_window(), 0);
    g_state.vis_window = recorder();
    HWND frame = g_state.embed_window;
    const UINT keys[] = {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_DEADCHAR, WM_SYSDEADCHAR, 0x0108};
    g_seen.clear();
    for (UINT key : keys) {
        EXPECT_EQ(SendMessageA(frame, key, 'A', 0x1E0001), 0);
        EXPECT_EQ(SendMessageA(g_state.parent_window, key, 'B', 0), 0);
    }
    SendMessageA(frame, WM_SYSKEYDOWN, 'C', 0);
    SendMessageA(frame, WM_SYSCHAR, 'C', 0);
    // Queued, not sent: nothing arrives before the queue is pumped.
    EXPECT_TRUE(seen_of({WM_KEYDOWN}).empty());
    dispatch_untranslated();
    expect_sequence(seen_of({WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_DEADCHAR, WM_SYSDEADCHAR, 0x0108,
                             WM_SYSKEYDOWN, WM_SYSCHAR}),
                    {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_DEADCHAR, WM_SYSDEADCHAR, 0x0108});
    for (const Seen& seen : g_seen) {
        if (seen.message == WM_KEYDOWN) {
            EXPECT_EQ(seen.wparam, static_cast<WPARAM>('A'));
        }
    }
}

TEST_F(EmulatedWindows, ShownFrameFitsTheDrawingWindowAndComesToTheFrontOnce)
{
    ASSERT_EQ(create_embed_window(), 0);
    HWND frame = g_state.embed_window;
    HWND vis = recorder();
    g_state.vis_window = vis;
    g_seen.clear();
    ShowWindow(frame, SW_SHOW);
    RECT vis_rect;
    ASSERT_TRUE(GetWindowRect(vis, &vis_rect));
    EXPECT_EQ(vis_rect.right - vis_rect.left, g_state.client_width);
    EXPECT_EQ(vis_rect.bottom - vis_rect.top, g_state.client_height);
    EXPECT_EQ(GetFocus(), frame);
    EXPECT_FALSE(GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(EmulatedWindows, EndOfAMoveFitsTheDrawingWindowAndUpdatesThePluginsRecord)
{
    ASSERT_EQ(create_embed_window(), 0);
    HWND frame = g_state.embed_window;
    HWND vis = recorder();
    g_state.vis_window = vis;
    EmbedWindowState record = {};
    g_state.embed_state = &record;
    ASSERT_TRUE(SetWindowPos(frame, nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    SendMessageA(frame, WM_SIZE, 0, MAKELPARAM(123, 45));
    RECT before;
    GetWindowRect(vis, &before);
    EXPECT_NE(before.right - before.left, 123);  // a size change alone leaves it

    EXPECT_EQ(SendMessageA(frame, WM_ENTERSIZEMOVE, 0, 0), 0);
    EXPECT_EQ(SendMessageA(frame, WM_EXITSIZEMOVE, 0, 0), 0);
    RECT after;
    GetWindowRect(vis, &after);
    EXPECT_EQ(after.right - after.left, 123);
    EXPECT_EQ(after.bottom - after.top, 45);
    RECT frame_rect;
    GetWindowRect(frame, &frame_rect);
    EXPECT_TRUE(EqualRect(&record.window_rect, &frame_rect));
    EXPECT_EQ(record.window_rect.left, 70);
}

TEST_F(EmulatedWindows, CancelModeDestroysTheMainWindowOnlyDuringAFirstInitAlone)
{
    ASSERT_EQ(create_parent_window(), 0);
    HWND parent = g_state.parent_window;
    SendMessageA(parent, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(g_state.parent_window, parent);

    g_state.init_in_progress = 1;
    g_state.vis_window = recorder();
    SendMessageA(parent, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(g_state.parent_window, parent);
    g_state.vis_window = nullptr;
    ASSERT_EQ(create_embed_window(), 0);
    SendMessageA(parent, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(IsWindow(parent));
    DestroyWindow(g_state.embed_window);
    g_state.embed_window = nullptr;

    SendMessageA(parent, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(g_state.parent_window, nullptr);
    EXPECT_FALSE(IsWindow(parent));
}

// The cursor is a thread's own: the frame's, on this thread, shows it.
TEST_F(EmulatedWindows, ClientAreaGetsTheArrowAndOtherHitsTheDefault)
{
    ASSERT_EQ(create_parent_window(), 0);
    ASSERT_EQ(create_embed_window(), 0);
    HWND frame = g_state.embed_window;
    EXPECT_EQ(SendMessageA(frame, WM_SETCURSOR, reinterpret_cast<WPARAM>(frame),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
    HWND parent = g_state.parent_window;
    EXPECT_EQ(SendMessageA(parent, WM_SETCURSOR, reinterpret_cast<WPARAM>(parent),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(SendMessageA(parent, WM_CREATE, 0, 0), 0);
}

TEST_F(EmulatedWindows, CommandsAndWinampRequestsGoToThePlayerWithTheirAnswer)
{
    ASSERT_EQ(create_parent_window(), 0);
    HWND parent = g_state.parent_window;
    EXPECT_EQ(SendMessageA(parent, WM_COMMAND, 40044, 0), -1);
    EXPECT_EQ(SendMessageA(parent, WM_USER, 0, 4711), -1);

    g_state.host_winamp_window = recorder();
    g_recorder_answer = 77;
    g_seen.clear();
    EXPECT_EQ(SendMessageA(parent, WM_COMMAND, 40044, 5), 77);
    EXPECT_EQ(SendMessageA(parent, WM_USER, 9, 4711), 77);
    ASSERT_EQ(seen_of({WM_COMMAND, WM_USER}).size(), 2u);
    for (const Seen& seen : g_seen) {
        if (seen.message == WM_COMMAND) {
            EXPECT_EQ(seen.wparam, 40044u);
            EXPECT_EQ(seen.lparam, 5);
        }
        if (seen.message == WM_USER) {
            EXPECT_EQ(seen.wparam, 9u);
            EXPECT_EQ(seen.lparam, 4711);
        }
    }
}

TEST_F(EmulatedWindows, AHungPlayerCostsAtMostTheTimeOut)
{
    ASSERT_EQ(create_parent_window(), 0);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread player([&] {
        g_state.host_winamp_window = make_recorder();
        SetEvent(ready);
        WaitForSingleObject(release, 30000);
        DestroyWindow(g_state.host_winamp_window);
    });
    ASSERT_EQ(WaitForSingleObject(ready, 30000), WAIT_OBJECT_0);
    const DWORD start = GetTickCount();
    EXPECT_EQ(SendMessageA(g_state.parent_window, WM_COMMAND, 1, 0), -1);
    EXPECT_EQ(SendMessageA(g_state.parent_window, WM_USER, 0, 250), -1);
    EXPECT_LT(GetTickCount() - start, 2000u);
    SetEvent(release);
    player.join();
    CloseHandle(release);
    CloseHandle(ready);
}

}  // namespace
