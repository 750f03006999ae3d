// Habits of real plug-ins, played by vis_probe through the real DLL: a drawing window that
// cannot take position messages before its init has returned, drawing only through GetDC in
// render, showing its frame itself, a dialog of its own left open, an init that fails for
// good; a Winamp 5 SDK plug-in that takes everything through the host's services and keeps
// a modal dialog open when stopped. Each run must show what it draws and move, or end
// cleanly.
#include "tests/plugins/vis_probe_resources.h"
#include "tests/support/menu_picker.h"
#include "tests/support/player_session.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/process_resources.h"
#include "tests/support/wait.h"
#include "tests/support/window_capture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr DWORD kTimeoutMs = 60000;
const char* const kWrapperClasses[] = {"KorvelVisPlugin", "KorvelVisPluginEmbed"};

class PluginHabits : public ::testing::Test {
protected:
    void start()
    {
        session_.select_plugin(ProbePlugin::path());
        session_.initialize();
    }

    bool render_until_painted(LONG frames)
    {
        return session_.render_until([&] { return control().frames_painted >= frames; },
                                     kTimeoutMs);
    }

    // Two looks at the drawing window's surface, some frames apart: they must differ and
    // neither be a blank of one colour.
    void expect_drawing_moves(HWND drawing)
    {
        ASSERT_TRUE(render_until_painted(3));
        const WindowCapture first = capture_client(drawing);
        ASSERT_TRUE(render_until_painted(control().frames_painted + 3));
        const WindowCapture second = capture_client(drawing);
        ASSERT_GT(first.width, 0);
        ASSERT_EQ(first.width, second.width);
        EXPECT_TRUE(first.pixels != second.pixels) << "the picture did not change";
        EXPECT_LT(first.count(first.at(0, 0)), first.pixels.size()) << "one colour only";
    }

    ProbeControl& control() { return probe_.control(); }

    // No window and no class of the wrapper's is left in the process.
    static bool nothing_of_ours_left()
    {
        for (const char* name : kWrapperClasses) {
            WNDCLASSA found = {};
            if (own_window_exists(name) || GetClassInfoA(nullptr, name, &found))
                return false;
        }
        return true;
    }

    PlayerSession session_;
    ProbePlugin probe_;
};

// Modelled on a GDI analyser: it wants a frame (so its first init fails), makes its drawing
// window a child of the frame, announces it, and only then is ready for position messages.
TEST_F(PluginHabits, FramedPluginNotReadyDuringInitShowsItsFrameAndDraws)
{
    control().init_failures = 1;
    control().ask_embed_window = 1;
    control().drawing_window = kProbeChildWindow;
    control().early_position_fault = kProbeDivideByZero;
    control().draws_through_dc = 1;
    control().shows_itself = 1;
    // Once its window is made it asks where its settings go and for the main window to be
    // laid over the player's again.
    control().requests_from = kProbeInit;
    control().requests_late = 1;
    control().request_count = 2;
    control().request_codes[0] = 334;
    control().request_codes[1] = 631;
    start();

    ASSERT_TRUE(render_until_painted(1));
    EXPECT_EQ(control().early_position_messages, 0);
    EXPECT_TRUE(IsWindowVisible(control().embed_window));
    RECT frame_client = {};
    RECT drawing_client = {};
    ASSERT_TRUE(GetClientRect(control().embed_window, &frame_client));
    ASSERT_TRUE(GetClientRect(control().vis_window, &drawing_client));
    EXPECT_TRUE(EqualRect(&frame_client, &drawing_client));
    expect_drawing_moves(control().vis_window);

    RECT player = {};
    ASSERT_TRUE(GetWindowRect(session_.player().app_window(), &player));
    EXPECT_TRUE(EqualRect(&control().parent_rect_at_init, &player))
        << "main window at " << control().parent_rect_at_init.left << ","
        << control().parent_rect_at_init.top << " during init";
    const DWORD plugins = GetFileAttributesA(session_.dir().file("Plugins").c_str());
    EXPECT_TRUE(plugins != INVALID_FILE_ATTRIBUTES && (plugins & FILE_ATTRIBUTE_DIRECTORY));
    session_.finalize();
    EXPECT_TRUE(nothing_of_ours_left());
}

// Modelled on a studio: a window of its own, shown by itself, and an editor dialog opened at
// start that stays open while it draws.
TEST_F(PluginHabits, OwnWindowPluginKeepsItsDialogOpenAndDraws)
{
    control().drawing_window = kProbeTopLevelWindow;
    control().draws_through_dc = 1;
    control().shows_itself = 1;
    control().opens_dialog = 1;
    start();

    ASSERT_TRUE(render_until_painted(1));
    EXPECT_EQ(probe_.calls(kProbeInit).size(), 1u);
    EXPECT_TRUE(IsWindowVisible(control().vis_window));
    expect_drawing_moves(control().vis_window);
    EXPECT_TRUE(IsWindow(control().dialog_window) && IsWindowVisible(control().dialog_window));
    session_.finalize();
    EXPECT_EQ(control().dialog_window, nullptr);
    EXPECT_TRUE(nothing_of_ours_left());
}

// An init that fails on both attempts (as an OpenGL plug-in's does without OpenGL) ends the
// run by itself, and nothing of ours is left: no window, no class. (The framed run above
// checks the same after a stop that follows a failed first attempt.)
TEST_F(PluginHabits, RunsWhoseInitFailedLeaveNoWindowOrClass)
{
    control().init_failures = 2;
    control().ask_embed_window = 1;
    start();
    EXPECT_TRUE(session_.render_until(
        [&] { return probe_.calls(kProbeQuit).size() == 1 && nothing_of_ours_left(); },
        kTimeoutMs));
    EXPECT_EQ(probe_.calls(kProbeInit).size(), 2u);
    EXPECT_TRUE(probe_.calls(kProbeRender).empty());
    session_.finalize();
}

// Modelled on a Winamp 5 plug-in built with its SDK: services looked up by value in the
// header function, every string taken without a buffer and used at once, menus,
// accelerators and dialogs through the language service, the application and callback
// services called from its dialogs, the playlist title copied without a look.
TEST_F(PluginHabits, Winamp5SdkPluginGetsEverythingThroughTheServices)
{
    control().sdk_plugin = 1;
    control().drawing_window = kProbeTopLevelWindow;
    control().draws_through_dc = 1;
    session_.player().set_title(L"*** Song");
    start();
    ASSERT_TRUE(render_until_painted(2));

    const ProbeSdkRecord& sdk = control().sdk;
    EXPECT_EQ(sdk.services_found, kProbeSdkLanguage | kProbeSdkApplication | kProbeSdkSyscb);
    EXPECT_EQ(sdk.language_instance, sdk.own_instance);
    EXPECT_STREQ(sdk.text, PROBE_TEXT);
    EXPECT_STREQ(sdk.wide_text, L"wide \u263A text");
    EXPECT_STREQ(sdk.formatted, L"7 frames");
    EXPECT_STREQ(sdk.missing_then_text, L"wide \u263A text");
    EXPECT_EQ(sdk.menu_items[0], PROBE_MENU_ITEMS);
    EXPECT_EQ(sdk.menu_items[1], PROBE_MENU_ITEMS);
    EXPECT_EQ(sdk.accelerators_loaded, 7);
    for (int wide = 0; wide < 2; ++wide) {
        EXPECT_FALSE(sdk.skin_option_enabled[wide]) << wide;
        EXPECT_FALSE(sdk.fullscreen_option_enabled[wide]) << wide;
    }
    EXPECT_STREQ(sdk.wide_label, L"\u263A  ZEKO ");
    EXPECT_EQ(sdk.modal_results[0], 51);
    EXPECT_EQ(sdk.modal_results[1], 54);
    EXPECT_EQ(sdk.mouse_wheel_result, FALSE);
    EXPECT_EQ(sdk.callback_result, 0);
    // The test player answers the title requests with 0.
    EXPECT_STREQ(sdk.title, "Song");
    EXPECT_STREQ(sdk.wide_title, L"Song");
    session_.finalize();
    EXPECT_TRUE(nothing_of_ours_left());
}

// A stop while the plug-in's modal dialog runs on the render thread cancels the dialog, so
// the thread ends by itself: the module's quit runs there, not on the player's thread as
// after a forced end.
TEST_F(PluginHabits, StopEndsAModalDialogOnTheRenderThreadAtOnce)
{
    control().sdk_plugin = 1;
    control().sdk_keeps_modal_dialog = 1;
    // Drawing in a window of its own, as such plug-ins do: its options dialogs in init then
    // find a module that has a window.
    control().drawing_window = kProbeTopLevelWindow;
    start();
    ASSERT_TRUE(session_.render_until([&] { return control().sdk.kept_dialog_open != 0; },
                                      kTimeoutMs))
        << probe_.calls(kProbeRender).size() << " renders, dialog result "
        << control().sdk.kept_dialog_result;
    const DWORD stop_ms = session_.finalize();
    EXPECT_LT(stop_ms, 1000u);
    EXPECT_EQ(control().sdk.kept_dialog_result, IDCANCEL);
    const std::vector<ProbeCall> quits = probe_.calls(kProbeQuit);
    ASSERT_EQ(quits.size(), 1u);
    EXPECT_EQ(quits[0].thread_id, probe_.calls(kProbeInit).at(0).thread_id);
    EXPECT_TRUE(nothing_of_ours_left());
    std::printf("stop with the modal dialog open: %lu ms\n", stop_ms);
}

// Modelled on a plug-in that draws on a worker thread: init waits for the worker, render
// waits for it to finish each frame, and the worker asks the main window with plain
// SendMessage before it does; quit joins it while it asks once more. Winamp's main window
// answers from a thread that never waits for those entries, and so must ours.
TEST_F(PluginHabits, WorkerThreadAsksTheMainWindowWhileTheEntriesWaitForIt)
{
    constexpr int32_t kFrameDelayMs = 20;
    constexpr DWORD kMeasuredMs = 2000;
    TestPlayer& player = session_.player();
    player.set_answer(125, 7);
    player.set_answer(105, 93000);
    player.set_answer(124, 12);
    player.set_command_answer(3);
    control().worker_thread = 1;
    control().frame_delay = kFrameDelayMs;
    const ProbeWorkerRecord& worker = control().worker;
    start();

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const size_t renders_before = probe_.calls(kProbeRender).size();
        ASSERT_TRUE(session_.render_until(
            [&] { return probe_.calls(kProbeRender).size() > renders_before + 2; }, kTimeoutMs));
        const size_t first = probe_.calls(kProbeRender).size();
        const DWORD start_ms = GetTickCount();
        session_.render_until([&] { return GetTickCount() - start_ms >= kMeasuredMs; },
                              kMeasuredMs * 2);
        const double rendered = static_cast<double>(probe_.calls(kProbeRender).size() - first);
        const double asked = (GetTickCount() - start_ms) / static_cast<double>(kFrameDelayMs);
        std::printf("worker plug-in, run %d: %.0f of %.0f frames rendered, longest request %lu ms\n",
                    run, rendered, asked, worker.longest_request_ms);
        // 90 % on an idle machine; the bound holds on a loaded or emulated one too.
        EXPECT_GE(rendered, asked * 0.5);
        EXPECT_EQ(worker.init_wait_expired, 0);
        EXPECT_EQ(worker.render_waits_expired, 0);
        EXPECT_GE(worker.frames_taken, 3);
        const LRESULT expected[kProbeWorkerRequests] = {1, 7, 93000, 12, 3};
        for (int i = 0; i < kProbeWorkerRequests; ++i)
            EXPECT_EQ(worker.answers[i], expected[i]) << "request " << i;

        // A stop from the menu first, then Finalize: both end the run by itself.
        const DWORD stop_ms = run == 0 ? session_.click_menu(kMenuStop) : session_.finalize();
        std::printf("worker plug-in, run %d: stopped in %lu ms\n", run, stop_ms);
        EXPECT_LT(stop_ms, 1000u);
        EXPECT_EQ(worker.quit_wait_expired, 0);
        const std::vector<ProbeCall> quits = probe_.calls(kProbeQuit);
        ASSERT_EQ(quits.size(), static_cast<size_t>(run + 1));
        EXPECT_EQ(quits.back().thread_id, probe_.calls(kProbeRender).back().thread_id);
        if (run == 0)
            session_.click_menu(kMenuStart);
    }
    EXPECT_TRUE(nothing_of_ours_left());
}

}  // namespace
