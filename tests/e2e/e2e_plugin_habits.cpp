// Habits of real plug-ins, played by vis_probe through the real DLL: a drawing window that
// cannot take position messages before its init has returned, drawing only through GetDC in
// render, showing its frame itself, a dialog of its own left open, an init that fails for
// good. Each run must show what it draws and move, or end cleanly.
#include "tests/support/player_session.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/process_resources.h"
#include "tests/support/wait.h"
#include "tests/support/window_capture.h"

#include <gtest/gtest.h>

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

}  // namespace
