// The Winamp messages as a plug-in sends them: vis_probe asks from its entries on the render
// thread and records the answers.
#include "emulation/embed_window.h"
#include "emulation/park_miller.h"
#include "emulation/service_objects.h"
#include "tests/support/probe_run_fixture.h"

#include <algorithm>

namespace {

using RandomFunction = int32_t(__cdecl*)();

class WinampMessages : public ProbeRunFixture {
protected:
    LRESULT answer(int request) { return probe_.control().request_answers[request]; }

    std::vector<ProbeWindowMessage> drawing_window_messages(UINT message)
    {
        const ProbeControl& control = probe_.control();
        std::vector<ProbeWindowMessage> found;
        for (LONG i = 0; i < control.window_message_count; ++i)
            if (control.window_messages[i].message == message)
                found.push_back(control.window_messages[i]);
        return found;
    }
};

TEST_F(WinampMessages, FixedAnswersPathsGeneratorAndDirectoryFromInit)
{
    send_from(kProbeInit, {{0, 0}, {0, 104}, {0, 201}, {0, 501}, {0, 3033}, {0, 334},
                           {0, 335}, {0, 336}, {0, 334}, {0, 3015}, {0, 3025}});
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_requests());

    EXPECT_EQ(answer(0), 20499);
    EXPECT_EQ(answer(1), 1);
    EXPECT_EQ(answer(2), 0);
    EXPECT_EQ(answer(3), 0);
    EXPECT_EQ(answer(4), 0);
    EXPECT_EQ(answer(5), reinterpret_cast<LRESULT>(g_state.ini_path));
    EXPECT_EQ(answer(6), reinterpret_cast<LRESULT>(g_state.host_dir));
    EXPECT_EQ(answer(7), reinterpret_cast<LRESULT>(g_state.plugin_dir));
    EXPECT_EQ(answer(8), answer(5));
    EXPECT_EQ(answer(10), reinterpret_cast<LRESULT>(&ServiceDirectory));

    ASSERT_NE(answer(9), 0);
    const auto next_random = reinterpret_cast<RandomFunction>(answer(9));
    const int32_t first = next_random();
    EXPECT_EQ(next_random(), park_miller_next(first));
}

TEST_F(WinampMessages, OtherCodesReachThePlayerAndItsAnswerComesBack)
{
    player_.set_answer(4711, 1234);
    player_.set_answer(-7, 55);
    send_from(kProbeInit, {{77, 4711}, {5, -7}});
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_requests());

    EXPECT_EQ(answer(0), 1234);
    EXPECT_EQ(answer(1), 55);
    const std::vector<RecordedMessage> seen = player_.messages();
    const auto reached = [&](WPARAM wparam, LPARAM lparam) {
        return std::any_of(seen.begin(), seen.end(), [&](const RecordedMessage& message) {
            return message.message == WM_USER && message.wparam == wparam &&
                   message.lparam == lparam;
        });
    };
    EXPECT_TRUE(reached(77, 4711));
    EXPECT_TRUE(reached(5, -7));
}

TEST_F(WinampMessages, FrameRequestsDuringASecondInitAndLaterRenders)
{
    ProbeControl& control = probe_.control();
    control.init_failures = 1;
    control.ask_embed_window = 1;
    control.drawing_window = kProbeChildWindow;
    send_from(kProbeRender, {{0, 505}, {1, 505}, {0, 2004}, {0, 631}});
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_requests());

    HWND frame = g_state.embed_window;
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(control.embed_window, frame);
    EXPECT_EQ(answer(0), reinterpret_cast<LRESULT>(&provide_embed_window));
    EXPECT_EQ(answer(1), reinterpret_cast<LRESULT>(frame));

    // 2004 shrinks the drawing window and gives it back the frame's client size.
    RECT client = {};
    ASSERT_TRUE(GetClientRect(frame, &client));
    EXPECT_EQ(client.right, g_state.client_width);
    EXPECT_EQ(client.bottom, g_state.client_height);
    // Wine may repeat a WM_SIZE (once from the move, once from the position change), so
    // the order counts, not the number.
    const std::vector<ProbeWindowMessage> sizes = drawing_window_messages(WM_SIZE);
    const LPARAM client_size = MAKELPARAM(g_state.client_width, g_state.client_height);
    const auto shrunk = std::find_if(sizes.begin(), sizes.end(), [](const ProbeWindowMessage& size) {
        return size.lparam == MAKELPARAM(50, 50);
    });
    ASSERT_NE(shrunk, sizes.end());
    EXPECT_TRUE(std::any_of(shrunk, sizes.end(), [&](const ProbeWindowMessage& size) {
        return size.lparam == client_size;
    }));
    EXPECT_EQ(sizes.back().lparam, client_size);

    // 631 lays the hidden main window on the player's window.
    RECT parent_rect = {};
    RECT player_rect = {};
    ASSERT_TRUE(GetWindowRect(g_state.parent_window, &parent_rect));
    ASSERT_TRUE(GetWindowRect(player_.app_window(), &player_rect));
    EXPECT_TRUE(EqualRect(&parent_rect, &player_rect));
    EXPECT_FALSE(IsWindowVisible(g_state.parent_window));
}

TEST_F(WinampMessages, AnnouncedWindowIsPlacedNotTopmostThenTopmostThenOnTop)
{
    probe_.control().drawing_window = kProbeTopLevelWindow;
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));

    EXPECT_EQ(g_state.vis_window, probe_.control().vis_window);
    std::vector<LPARAM> placed_after;
    for (const ProbeWindowMessage& message : drawing_window_messages(WM_WINDOWPOSCHANGING))
        placed_after.push_back(message.lparam);
    const std::vector<LPARAM> announced = {reinterpret_cast<LPARAM>(HWND_NOTOPMOST),
                                           reinterpret_cast<LPARAM>(HWND_TOPMOST),
                                           reinterpret_cast<LPARAM>(HWND_TOP)};
    EXPECT_NE(std::search(placed_after.begin(), placed_after.end(), announced.begin(),
                          announced.end()),
              placed_after.end());
}

// A plug-in that finds no frame on its first init tells the user so in a box owned by its
// parent and fails; the box goes with the parent, and the second init gets the frame.
TEST_F(WinampMessages, PluginThatNeedsAFrameGetsItOnTheSecondInit)
{
    ProbeControl& control = probe_.control();
    control.init_failures = 1;
    control.message_box_from = kProbeInit;
    control.ask_embed_window = 1;
    control.drawing_window = kProbeChildWindow;
    send_from(kProbeInit, {{0, 505}});
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));

    EXPECT_EQ(answer(0), 0);
    EXPECT_EQ(count(kProbeInit), 2u);
    ASSERT_NE(control.embed_window, nullptr);
    EXPECT_EQ(control.embed_window, g_state.embed_window);
    EXPECT_EQ(GetParent(control.vis_window), control.embed_window);
    EXPECT_EQ(g_state.vis_window, control.vis_window);
}

// Plug-ins copy the playlist title unchecked: the player's string when it gives one, else
// the title the main window mirrors.
TEST_F(WinampMessages, PlaylistTitleIsAlwaysAString)
{
    static const wchar_t kPlayersOwn[] = L"from the player";
    player_.set_title(L"*** Song");
    player_.set_answer(213, reinterpret_cast<LRESULT>(kPlayersOwn));
    send_from(kProbeRender, {{0, 212}, {0, 213}});
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_requests());
    EXPECT_STREQ(reinterpret_cast<const char*>(answer(0)), "Song");
    EXPECT_EQ(answer(1), reinterpret_cast<LRESULT>(kPlayersOwn));
}

class WinampMessagesWithoutPlayerWindow : public ProbeRunFixture {
protected:
    WinampMessagesWithoutPlayerWindow() : ProbeRunFixture(player_options(false, false)) {}
};

TEST_F(WinampMessagesWithoutPlayerWindow, ForwardedCodesAnswerMinusOne)
{
    send_from(kProbeInit, {{77, 4711}});
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_requests());
    EXPECT_EQ(probe_.control().request_answers[0], -1);
}

TEST_F(WinampMessagesWithoutPlayerWindow, PlaylistTitleIsAnEmptyWideString)
{
    send_from(kProbeRender, {{0, 213}});
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_requests());
    const auto* title = reinterpret_cast<const wchar_t*>(probe_.control().request_answers[0]);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title, L"");
}

class WinampMessagesWithHungPlayer : public ProbeRunFixture {
protected:
    WinampMessagesWithHungPlayer() : ProbeRunFixture(player_options(true, true)) {}
};

TEST_F(WinampMessagesWithHungPlayer, ForwardedCodesAnswerMinusOneAfterTheTimeOut)
{
    player_.set_answer(4711, 1234);
    player_.hang_winamp_thread();
    send_from(kProbeInit, {{77, 4711}});
    start_render_thread(kRenderRun);
    const bool answered = wait_for_requests();
    player_.resume_winamp_thread();
    ASSERT_TRUE(answered);
    EXPECT_EQ(probe_.control().request_answers[0], -1);
}

}  // namespace
