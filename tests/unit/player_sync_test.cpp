// Mirroring the player into the emulated windows, driven directly on the test's thread.
#include "emulation/emulated_windows.h"
#include "emulation/player_sync.h"
#include "host/wrapper_state.h"
#include "tests/support/test_player.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

std::wstring title_of(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

bool is_topmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

class PlayerSync : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_state.host_app_window = player_.app_window();
        g_state.host_winamp_window = player_.winamp_window();
        g_state.stop_requested = 0;
        g_state.sample_rate_hz = 44100;
        ASSERT_EQ(create_parent_window(), 0);
    }
    void TearDown() override
    {
        destroy_parent_window();
        UnregisterClassA(kParentWindowClass, nullptr);
        g_state.host_app_window = nullptr;
        g_state.host_winamp_window = nullptr;
    }
    TestPlayer player_;
};

TEST_F(PlayerSync, MirrorsTitleWithoutPrefixAndConvertsTheRate)
{
    player_.set_title(L"*** Song of the day");
    player_.set_sample_rate_khz(48);
    sync_with_player();
    EXPECT_EQ(title_of(g_state.parent_window), L"Song of the day");
    EXPECT_EQ(g_state.sample_rate_hz, 48000);
    EXPECT_NE(g_state.last_sync_clock, 0);
}

TEST_F(PlayerSync, PassesAreAtLeast334TicksApart)
{
    sync_with_player();
    player_.set_title(L"second");
    g_state.last_sync_clock = static_cast<int32_t>(clock()) - 333;
    sync_with_player();
    EXPECT_NE(title_of(g_state.parent_window), L"second");
    g_state.last_sync_clock = static_cast<int32_t>(clock()) - 334;
    sync_with_player();
    EXPECT_EQ(title_of(g_state.parent_window), L"second");
}

TEST_F(PlayerSync, NothingHappensWhileStoppingOrWithoutThePlayersWindow)
{
    player_.set_title(L"untouched");
    g_state.stop_requested = 1;
    sync_with_player();
    EXPECT_EQ(g_state.last_sync_clock, 0);
    g_state.stop_requested = 0;
    g_state.host_app_window = nullptr;
    sync_with_player();
    EXPECT_EQ(g_state.last_sync_clock, 0);
    EXPECT_EQ(title_of(g_state.parent_window), L"");
    EXPECT_EQ(g_state.sample_rate_hz, 44100);
}

TEST_F(PlayerSync, FollowsThePlayersTopmostStateAndLiesHiddenOnItsRectangle)
{
    // A child drawing window goes with its parent and is left alone.
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, g_state.parent_window,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    g_state.vis_window = child;
    SetWindowPos(player_.app_window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    sync_with_player();
    g_state.vis_window = nullptr;
    EXPECT_TRUE(is_topmost(g_state.parent_window));
    EXPECT_FALSE(is_topmost(child));
    RECT player = {};
    RECT parent = {};
    GetWindowRect(player_.app_window(), &player);
    GetWindowRect(g_state.parent_window, &parent);
    EXPECT_TRUE(EqualRect(&player, &parent));
    EXPECT_FALSE(IsWindowVisible(g_state.parent_window));

    SetWindowPos(player_.app_window(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    g_state.last_sync_clock = static_cast<int32_t>(clock()) - 1000;
    sync_with_player();
    EXPECT_FALSE(is_topmost(g_state.parent_window));
}

TEST_F(PlayerSync, FailedRateQueryKeepsTheLastGoodRate)
{
    player_.set_sample_rate_khz(22);
    sync_with_player();
    EXPECT_EQ(g_state.sample_rate_hz, 22050);
    g_state.host_winamp_window = nullptr;
    g_state.last_sync_clock = static_cast<int32_t>(clock()) - 1000;
    sync_with_player();
    EXPECT_EQ(g_state.sample_rate_hz, 22050);
}

}  // namespace
