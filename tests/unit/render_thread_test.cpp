// The render thread driven directly from the player's side, with vis_probe as the module.
#include "tests/support/probe_run_fixture.h"

#include <algorithm>
#include <numeric>

namespace {

class RenderThread : public ProbeRunFixture {};

BOOL CALLBACK count_own_window(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int own_top_level_windows()
{
    int count = 0;
    EnumWindows(count_own_window, reinterpret_cast<LPARAM>(&count));
    return count;
}

double mean_render_interval(const std::vector<ProbeCall>& renders)
{
    std::vector<double> intervals;
    // The first interval may include the start; pace is judged on the steady frames.
    for (size_t i = 2; i < renders.size(); ++i)
        intervals.push_back(renders[i].clock - renders[i - 1].clock);
    return std::accumulate(intervals.begin(), intervals.end(), 0.0) / intervals.size();
}

TEST_F(RenderThread, RenderCallsStartFrameDelayApart)
{
    for (int32_t delay : {20, 33}) {
        probe_.control().frame_delay = delay;
        probe_.control().call_count = 0;
        probe_.control().calls_reserved = 0;
        start_render_thread(kRenderRun);
        ASSERT_TRUE(wait_for_calls(kProbeRender, 2000 / delay + 2)) << delay;
        stop_render_thread();
        const double mean = mean_render_interval(probe_.calls(kProbeRender));
        // A margin that holds on a loaded machine; the benchmark measures the pace closely.
        EXPECT_NEAR(mean, delay, delay * 0.25) << delay;
    }
}

TEST_F(RenderThread, RunCallsEntriesInOrderOnItsOwnThreadWithTheParentWindow)
{
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 3));
    stop_render_thread();

    const std::vector<ProbeCall> calls = probe_.calls();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0].entry, kProbeHeader);
    EXPECT_EQ(calls[1].entry, kProbeModuleByIndex);
    EXPECT_EQ(calls[2].entry, kProbeInit);
    EXPECT_EQ(calls.back().entry, kProbeQuit);
    EXPECT_EQ(count(kProbeConfig), 0u);
    EXPECT_EQ(count(kProbeQuit), 1u);
    for (const ProbeCall& call : calls)
        EXPECT_NE(call.thread_id, GetCurrentThreadId()) << call.entry;
    EXPECT_NE(probe_.calls(kProbeInit)[0].parent, nullptr);
    EXPECT_EQ(probe_.calls(kProbeRender)[0].sample_rate, 39200);
    EXPECT_EQ(g_state.parent_window, nullptr);
    EXPECT_EQ(g_state.active_module, nullptr);
    EXPECT_EQ(g_state.plugin_library, nullptr);
}

TEST_F(RenderThread, StopDuringFirstRenderStillGetsTwoMoreRendersAtTheModulesPace)
{
    probe_.control().frame_delay = 100;
    probe_.control().hang_ms[kProbeRender] = 150;
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));
    stop_render_thread();

    const std::vector<ProbeCall> renders = probe_.calls(kProbeRender);
    ASSERT_EQ(renders.size(), 3u);
    EXPECT_GE(renders[2].clock - renders[1].clock, 145);
    EXPECT_EQ(count(kProbeQuit), 1u);
}

TEST_F(RenderThread, NonZeroRenderResultGivesThreeRendersThenQuitAndExitCodeZero)
{
    probe_.control().render_result = 1;
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_until([] { return is_render_thread_running() == 0; }, 20000));
    DWORD exit_code = 99;
    ASSERT_TRUE(GetExitCodeThread(g_state.render_thread, &exit_code));
    EXPECT_EQ(exit_code, 0u);
    EXPECT_EQ(count(kProbeRender), 3u);
    EXPECT_EQ(count(kProbeQuit), 1u);
}

TEST_F(RenderThread, ConfigureOnlyCallsConfigAndQuit)
{
    start_render_thread(kRenderConfigureOnly);
    ASSERT_TRUE(wait_until([] { return is_render_thread_running() == 0; }, 20000));
    EXPECT_EQ(count(kProbeConfig), 1u);
    EXPECT_EQ(count(kProbeInit), 0u);
    EXPECT_EQ(count(kProbeRender), 0u);
    EXPECT_EQ(count(kProbeQuit), 1u);
}

TEST_F(RenderThread, FailedFirstInitIsRetriedWithTheFrameWindow)
{
    probe_.control().init_failures = 1;
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));
    EXPECT_EQ(count(kProbeInit), 2u);
    EXPECT_NE(g_state.embed_window, nullptr);
    EXPECT_EQ(g_state.init_in_progress, 0);
}

TEST_F(RenderThread, LongFrameDelayStopEndsTheThreadFromItsLoopWithQuitOnTheStoppingThread)
{
    probe_.control().frame_delay = 3000;
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));
    const DWORD render_thread_id = GetThreadId(g_state.render_thread);
    const DWORD start = GetTickCount();
    stop_render_thread();
    // It left through its own exit, which tells the DLLs, not cut off by TerminateThread.
    const ProbeControl& control = probe_.control();
    const DWORD* detached_end =
        control.detached_thread_ids + std::min(static_cast<LONG>(control.threads_detached), kProbeMaxDetachedThreads);
    EXPECT_NE(std::find(control.detached_thread_ids, detached_end, render_thread_id), detached_end);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 4900u);
    EXPECT_LT(elapsed, 9000u);
    ASSERT_EQ(count(kProbeQuit), 1u);
    EXPECT_EQ(probe_.calls(kProbeQuit)[0].thread_id, GetCurrentThreadId());
    EXPECT_EQ(g_state.render_thread, nullptr);
    // The lock is usable after the thread that may have held it was ended by force.
    EnterCriticalSection(&g_state.audio_lock);
    LeaveCriticalSection(&g_state.audio_lock);
}

TEST_F(RenderThread, QuitMessageActsAsStopAndStartWhileRunningDoesNothing)
{
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));
    HANDLE first = g_state.render_thread;
    start_render_thread(kRenderRun);
    EXPECT_EQ(g_state.render_thread, first);

    ASSERT_TRUE(PostThreadMessageA(GetThreadId(first), WM_QUIT, 0, 0));
    ASSERT_TRUE(wait_until([] { return is_render_thread_running() == 0; }, 20000));
    EXPECT_GE(count(kProbeRender), 3u);
    EXPECT_EQ(count(kProbeQuit), 1u);
}

TEST_F(RenderThread, FaultInAnyEntryEndsTheRunAndTheNextStartWorks)
{
    for (ProbeEntry entry : {kProbeConfig, kProbeInit, kProbeRender, kProbeQuit}) {
        probe_.control() = ProbeControl();
        probe_.control().faults[entry] = kProbeAccessViolation;
        start_render_thread(entry == kProbeConfig ? kRenderConfigureThenRun : kRenderRun);
        // Every fault but one in quit ends the run by itself.
        if (entry != kProbeQuit) {
            EXPECT_TRUE(wait_until([] { return is_render_thread_running() == 0; }, 20000)) << entry;
        } else {
            EXPECT_TRUE(wait_for_calls(kProbeRender, 1));
        }
        stop_render_thread();
        if (entry == kProbeConfig) {
            EXPECT_EQ(count(kProbeInit), 0u);
        }
        if (entry == kProbeInit) {
            EXPECT_EQ(count(kProbeInit), 2u);  // a fault is a failed attempt: one more follows
        }
        if (entry == kProbeRender) {
            EXPECT_EQ(count(kProbeRender), 1u);
        }
        EXPECT_EQ(count(kProbeQuit), 1u) << entry;
        EXPECT_EQ(g_state.active_module, nullptr) << entry;

        probe_.control() = ProbeControl();
        start_render_thread(kRenderRun);
        EXPECT_TRUE(wait_for_calls(kProbeRender, 1)) << entry;
        stop_render_thread();
    }
}

enum class FaultWay { kPosted, kSent, kMovedBySync };

// Makes the probe's window fault in one of three ways, once its run has started.
// Posted, the message reaches the window procedure through the loop's dispatch. Sent from
// another thread, as the system's broadcasts are, it is handled inside the loop's peek.
// Moved, the window takes the position change inside the loop's synchronisation with the
// player (here: the player's window became topmost). For those two the system may keep
// the fault from coming back at all, and the run goes on (Wine under an emulated processor
// did so for an access violation on a sent message and for both faults on a move); where it
// does come back, the run ends. Either way the player's process must live on.
void make_window_fault(ProbeControl& control, FaultWay way, ProbeFault fault, HWND player)
{
    if (way == FaultWay::kSent) {
        control.window_fault = fault;
        SendNotifyMessageA(control.vis_window, kProbeFaultMessage, 0, 0);
    } else if (way == FaultWay::kMovedBySync) {
        control.late_position_fault = fault;
        SetWindowPos(player, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

TEST_F(RenderThread, FaultInThePluginsWindowProcedureIsContainedAndTheNextStartWorks)
{
    for (ProbeFault fault : {kProbeAccessViolation, kProbeStackOverflow}) {
        for (FaultWay way : {FaultWay::kPosted, FaultWay::kSent, FaultWay::kMovedBySync}) {
            const int way_number = static_cast<int>(way);
            probe_.control() = ProbeControl();
            probe_.control().drawing_window = kProbeTopLevelWindow;
            if (way == FaultWay::kPosted)
                probe_.control().window_fault = fault;
            start_render_thread(kRenderRun);
            ASSERT_TRUE(way == FaultWay::kPosted || wait_for_calls(kProbeRender, 1)) << fault;
            make_window_fault(probe_.control(), way, fault, player_.app_window());
            EXPECT_TRUE(wait_until(
                [this] { return probe_.control().window_fault_reached != 0; }, 20000));
            if (way == FaultWay::kPosted) {
                EXPECT_TRUE(wait_until([] { return is_render_thread_running() == 0; }, 20000))
                    << fault << way_number;
            }
            stop_render_thread();
            SetWindowPos(player_.app_window(), HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
            EXPECT_EQ(probe_.control().window_fault_reached, 1) << fault << way_number;
            EXPECT_EQ(count(kProbeQuit), 1u) << fault << way_number;
            EXPECT_EQ(FindWindowA("KorvelVisPlugin", nullptr), nullptr) << fault << way_number;

            probe_.control() = ProbeControl();
            start_render_thread(kRenderRun);
            EXPECT_TRUE(wait_for_calls(kProbeRender, 3)) << fault << way_number;
            stop_render_thread();
        }
    }
}

TEST_F(RenderThread, RepeatedStartAndStopLeavesNothingBehind)
{
    start_render_thread(kRenderRun);
    ASSERT_TRUE(wait_for_calls(kProbeRender, 1));
    stop_render_thread();
    DWORD handles_before = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles_before);
    const int windows_before = own_top_level_windows();

    for (int cycle = 0; cycle < 200; ++cycle) {
        start_render_thread(kRenderRun);
        stop_render_thread();
    }
    DWORD handles_after = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles_after);
    EXPECT_LE(handles_after, handles_before + 5);
    EXPECT_EQ(own_top_level_windows(), windows_before);
    WNDCLASSA unused;
    EXPECT_FALSE(GetClassInfoA(nullptr, "KorvelVisPlugin", &unused));
    EXPECT_FALSE(GetClassInfoA(nullptr, "KorvelVisPluginEmbed", &unused));
    EXPECT_EQ(FindWindowA("KorvelVisPlugin", nullptr), nullptr);
    EXPECT_EQ(g_state.render_thread, nullptr);
}

}  // namespace
