// Threads of the plug-in's own, through the real DLL: a fault there ends the plug-in's run,
// not the player; a fault on a thread of the player's own reaches the player's filter; and
// the plug-in's code is not unloaded while one of its threads still runs in it.
#include "tests/support/menu_picker.h"
#include "tests/support/player_session.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/process_resources.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <process.h>
#include <string>

namespace {

constexpr DWORD kEventTimeoutMs = 60000;
// The stop's own bound, as in the fault matrix, and what a loaded machine adds to it.
constexpr DWORD kPlayerHeldLimitMs = 9000;

bool nothing_of_the_run_is_left()
{
    return !own_window_exists("KorvelVisPlugin") && !own_window_exists("KorvelVisPluginEmbed") &&
           !own_window_exists("VisProbeDrawing");
}

bool detached(const ProbeControl& control, DWORD thread_id)
{
    const LONG count = control.threads_detached < kProbeMaxDetachedThreads
                           ? control.threads_detached
                           : kProbeMaxDetachedThreads;
    for (LONG i = 0; i < count; ++i)
        if (control.detached_thread_ids[i] == thread_id)
            return true;
    return false;
}

size_t renders_after(const ProbePlugin& probe, int32_t clock_value)
{
    size_t later = 0;
    for (const ProbeCall& call : probe.calls(kProbeRender))
        later += call.clock > clock_value ? 1 : 0;
    return later;
}

const char* worker_fault_name(int32_t fault)
{
    switch (fault) {
    case kProbeWorkerMadeUpAddress:
        return "access violation at a made-up address";
    case kProbeWorkerJumpToNoCode:
        return "jump to an address with no code";
    case kProbeWorkerStackOverflow:
        return "stack overflow";
    default:
        return "none";
    }
}

TEST(PluginThreads, FaultOnAPluginThreadEndsTheRunAndTheNextStartRenders)
{
    for (int32_t fault : {kProbeWorkerMadeUpAddress, kProbeWorkerJumpToNoCode,
                          kProbeWorkerStackOverflow}) {
        for (int32_t render_waits : {1, 0}) {
            // The worker that faults while render goes on is started through the C runtime.
            SCOPED_TRACE(std::string(worker_fault_name(fault)) +
                         (render_waits ? ", render waiting for the worker"
                                       : ", render going on, started by _beginthreadex"));
            PlayerSession session;
            ProbePlugin probe;
            ProbeControl& control = probe.control();
            control.worker_fault = fault;
            control.render_waits_for_worker = render_waits;
            control.worker_through_crt = !render_waits;
            session.select_plugin(ProbePlugin::path());

            DWORD held = session.initialize();
            DWORD longest_render = 0;
            EXPECT_TRUE(session.render_until(
                [&] { return !probe.calls(kProbeQuit).empty() && nothing_of_the_run_is_left(); },
                kEventTimeoutMs, &longest_render));
            EXPECT_LE(longest_render, 1000u);
            EXPECT_EQ(control.worker_started, 1);
            EXPECT_NE(control.worker_fault_clock, -1);
            // The render call under way when the worker faulted may finish, and a slow
            // machine may start one or two while the fault is still being dispatched.
            EXPECT_LE(renders_after(probe, control.worker_fault_clock), 3u);
            if (!probe.calls(kProbeQuit).empty())
                printf("[ worker   ] %s%s: quit %d ms after the fault\n", worker_fault_name(fault),
                       render_waits ? " (render waiting)" : "",
                       static_cast<int>(probe.calls(kProbeQuit)[0].clock - control.worker_fault_clock));
            EXPECT_TRUE(wait_until([&] { return detached(control, control.worker_thread_id); },
                                   10000))
                << "the faulted worker leaves through ExitThread";

            control.worker_fault = kProbeWorkerNoFault;
            const size_t renders_before = probe.calls(kProbeRender).size();
            held = std::max(held, session.click_menu(kMenuStart));
            EXPECT_TRUE(session.render_until(
                [&] { return probe.calls(kProbeRender).size() >= renders_before + 3; },
                kEventTimeoutMs));
            held = std::max(held, session.finalize());
            EXPECT_LE(held, kPlayerHeldLimitMs);
            EXPECT_EQ(probe.calls(kProbeQuit).size(), 2u);
        }
    }
}

std::atomic<DWORD> g_players_fault_thread{0};
std::atomic<DWORD> g_players_fault_code{0};

LONG WINAPI players_filter(EXCEPTION_POINTERS* exception)
{
    g_players_fault_thread = GetCurrentThreadId();
    g_players_fault_code = exception->ExceptionRecord->ExceptionCode;
    ExitThread(0);
}

LONG WINAPI players_later_filter(EXCEPTION_POINTERS*)
{
    return EXCEPTION_CONTINUE_SEARCH;
}

unsigned __stdcall players_faulting_thread(void*)
{
    *reinterpret_cast<volatile int*>(0x0BADF00D) = 1;
    return 0;
}

LPTOP_LEVEL_EXCEPTION_FILTER current_filter()
{
    const LPTOP_LEVEL_EXCEPTION_FILTER current = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(current);
    return current;
}

// The player's filter stays the player's: its own faults reach it while a plug-in runs,
// it is back once the plug-in is gone, and one the player sets during a run is kept.
TEST(PluginThreads, PlayersOwnFilterSeesItsFaultsAndIsLeftInPlace)
{
    const LPTOP_LEVEL_EXCEPTION_FILTER saved = SetUnhandledExceptionFilter(players_filter);
    {
        PlayerSession session;
        ProbePlugin probe;
        session.select_plugin(ProbePlugin::path());
        session.initialize();
        ASSERT_TRUE(session.render_until([&] { return probe.calls(kProbeRender).size() >= 3; },
                                         kEventTimeoutMs));
        // Through the C runtime, as plug-ins start theirs: the start address tells nothing.
        unsigned thread_id = 0;
        HANDLE thread = reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, players_faulting_thread, nullptr, 0, &thread_id));
        ASSERT_NE(thread, nullptr);
        EXPECT_TRUE(session.render_until([&] { return g_players_fault_thread == thread_id; },
                                         kEventTimeoutMs));
        CloseHandle(thread);
        EXPECT_EQ(g_players_fault_code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
        const size_t renders = probe.calls(kProbeRender).size();
        EXPECT_TRUE(session.render_until(
            [&] { return probe.calls(kProbeRender).size() >= renders + 3; }, kEventTimeoutMs))
            << "the player's own fault does not end the plug-in's run";
        EXPECT_TRUE(probe.calls(kProbeQuit).empty());
        session.click_menu(kMenuStop);
        EXPECT_EQ(current_filter(), players_filter);

        session.click_menu(kMenuStart);
        EXPECT_TRUE(session.render_until(
            [&] { return probe.calls(kProbeRender).size() >= renders + 6; }, kEventTimeoutMs));
        SetUnhandledExceptionFilter(players_later_filter);
        session.finalize();
        EXPECT_EQ(current_filter(), players_later_filter);
    }
    SetUnhandledExceptionFilter(saved);
}

// A worker that runs 3 s past quit: the stop waits 1 s for it, then leaves the DLL loaded;
// the next start gets the same module, and the first release after the worker has ended
// frees it. The test's own hold on the copy is given up, so only the wrapper's counts.
TEST(PluginThreads, WorkerOutlivingQuitKeepsThePluginLoadedUntilItHasEnded)
{
    PlayerSession session;
    const std::string copy_path = session.dir().file("vis_probe_outlives_quit.dll");
    ASSERT_TRUE(CopyFileA(ProbePlugin::path().c_str(), copy_path.c_str(), FALSE));
    ProbePlugin probe(copy_path);
    ProbeControl& control = probe.control();
    control.worker_outlives_quit_ms = 3000;
    control.worker_through_crt = 1;
    session.select_plugin(copy_path);
    session.initialize();
    ASSERT_TRUE(session.render_until([&] { return control.worker_started != 0; },
                                     kEventTimeoutMs));
    const HMODULE module = GetModuleHandleA(copy_path.c_str());
    probe.let_go();

    const DWORD stop = session.click_menu(kMenuStop);
    EXPECT_LE(stop, kPlayerHeldLimitMs);
    printf("[ worker   ] stop with a worker running on past quit: %lu ms\n", stop);
    EXPECT_TRUE(nothing_of_the_run_is_left());
    EXPECT_EQ(GetModuleHandleA(copy_path.c_str()), module) << "kept while the worker runs";
    EXPECT_TRUE(wait_until([&] { return control.worker_ended != 0; }, kEventTimeoutMs));

    control.worker_outlives_quit_ms = 0;
    const LONG calls = control.call_count;
    session.click_menu(kMenuStart);
    EXPECT_TRUE(session.render_until([&] { return control.call_count >= calls + 5; },
                                     kEventTimeoutMs))
        << "the next start runs the module that was kept";
    session.finalize();
    EXPECT_TRUE(wait_until([&] { return GetModuleHandleA(copy_path.c_str()) == nullptr; }, 10000))
        << "freed once its thread has ended";
}

}  // namespace
