#include "runtime/render_thread.h"

#include "emulation/emulated_windows.h"
#include "emulation/player_sync.h"
#include "host/command_menu.h"
#include "host/wrapper_state.h"
#include "runtime/answering_wait.h"
#include "runtime/audio_conversion.h"
#include "runtime/exception_guard.h"
#include "runtime/memory_access.h"
#include "runtime/module_sample_rate.h"
#include "runtime/plugin_loader.h"
#include "runtime/plugin_threads.h"
#include "runtime/thread_dialogs.h"
#include "runtime/winamp_vis.h"

#include <ctime>
#include <cstdlib>

namespace {

constexpr DWORD kStopWaitMs = 5000;
// A thread told to exit from its own loop's wait does so within a pass of the loop.
constexpr DWORD kOwnExitWaitMs = 250;
// A thread ended by force is gone within moments; the bound keeps a stop from hanging.
constexpr DWORD kTerminationWaitMs = 1000;
constexpr int32_t kOwedRenderCalls = 3;
// How often a stop looks again for dialogs of the render thread to cancel.
constexpr DWORD kDialogSweepMs = 100;
constexpr int32_t kPrepareAheadTicks = 10;

int32_t now()
{
    return static_cast<int32_t>(clock());
}

// Calls the module's entries inside the guard; false when the entry raised.
bool call_entry(void(__cdecl* entry)(WinampVisModule*), WinampVisModule* module)
{
    return !call_guarded(entry, module).faulted;
}

bool call_entry(int32_t(__cdecl* entry)(WinampVisModule*), WinampVisModule* module, int32_t* result)
{
    const GuardedResult outcome = call_guarded(entry, module);
    *result = static_cast<int32_t>(outcome.value);
    return !outcome.faulted;
}

// The first attempt runs without a frame; a module that fails it (as modules that want a
// frame do) gets one more attempt with the frame window in place.
bool attempt_init_twice(WinampVisModule* module)
{
    int32_t result = 0;
    g_state.init_in_progress = 1;
    const bool returned = call_entry(module->init_entry, module, &result);
    g_state.init_in_progress = 0;
    if (returned && result == 0)
        return true;
    // A fault counts as a failed attempt, like a failure the module reports.
    if (g_state.stop_requested)
        return false;

    if (!g_state.parent_window)
        create_parent_window();
    if (!g_state.embed_window)
        create_embed_window();
    module->parent = g_state.parent_window;
    return call_entry(module->init_entry, module, &result) && result == 0;
}

bool initialise_module(WinampVisModule* module)
{
    g_state.module_initialising = 1;
    const bool initialised = attempt_init_twice(module);
    g_state.module_initialising = 0;
    return initialised;
}

// The synchronisation moves and retitles windows of this thread and waits for the
// player's answers, and the plug-in's window procedures run inside all of that.
intptr_t __cdecl sync_step(intptr_t)
{
    sync_with_player();
    return 0;
}

void render_loop(WinampVisModule* module)
{
    int32_t frames_left = kOwedRenderCalls;
    int32_t next_render_clock = -2000;
    while (g_state.stop_requested == 0 || frames_left != 0) {
        const int32_t pumped = pump_thread_messages();
        // A module whose window raised gets no further render call, as after a fault in
        // its render entry, wherever the window procedure ran.
        if (pumped == kPumpFaulted)
            return;
        if (pumped == kPumpTookQuit)
            g_state.stop_requested = 1;

        if (now() >= next_render_clock - kPrepareAheadTicks) {
            // The record was writable at the load; a plug-in that has protected it since
            // ends its run as one that faulted, instead of making the wrapper fault here,
            // outside any guard.
            if (!is_writable_memory(module, sizeof *module))
                return;
            if (call_guarded(sync_step, 0).faulted)
                return;
            convert_audio_data();
            module->sample_rate = module_sample_rate(g_state.sample_rate_hz);
            while (now() < next_render_clock)
                SleepEx(1, TRUE);
            next_render_clock = now() + module->frame_delay;

            int32_t result = 0;
            // A module that faulted, on this thread or on one of its own, gets no further
            // render call.
            if (plugin_thread_faulted() || !call_entry(module->render_entry, module, &result))
                return;
            if (result != 0)
                g_state.stop_requested = 1;
            if (frames_left != 0)
                --frames_left;
        }
        // Alertable, so that a stop past its bound can end the thread from here.
        SleepEx(1, TRUE);
    }
}

DWORD WINAPI render_thread_main(LPVOID parameter)
{
    const auto mode = static_cast<int32_t>(reinterpret_cast<intptr_t>(parameter));
    g_state.render_thread_id = GetCurrentThreadId();

    srand(static_cast<unsigned>(time(nullptr)));
    g_state.rand_state = rand();
    g_state.vis_window = nullptr;
    g_state.embed_window = nullptr;
    g_state.parent_window = nullptr;
    if (create_parent_window() != 0) {
        destroy_parent_window();
        g_state.render_thread_ended = 1;
        return 1;
    }
    update_menu_state(1);

    load_winamp_plugin(1, 0);
    WinampVisModule* module = g_state.active_module;
    if (module && !g_state.stop_requested) {
        module->parent = g_state.parent_window;
        bool configured = true;
        if (mode != kRenderRun && module->config_entry)
            configured = call_entry(module->config_entry, module);
        if (configured && g_state.parent_window && !g_state.stop_requested &&
            mode != kRenderConfigureOnly && initialise_module(module))
            render_loop(module);
    }
    teardown_runtime();
    g_state.render_thread_ended = 1;
    return 0;
}

}  // namespace

void start_render_thread(int32_t mode)
{
    if (g_state.plugin_path[0] == '\0' || is_render_thread_running())
        return;
    stop_render_thread();
    // Cleared here, before the thread exists, and never by the thread itself: a stop that
    // arrives between the creation and the thread's first step is then still seen.
    g_state.stop_requested = 0;
    g_state.render_thread_ended = 0;
    g_state.render_thread = CreateThread(nullptr, 0, render_thread_main,
                                         reinterpret_cast<LPVOID>(static_cast<intptr_t>(mode)), 0,
                                         nullptr);
}

namespace {

// Waits for the thread while still answering what other threads send to the caller's
// windows: the render thread's requests to the player must not run into their time-out
// just because the player is busy stopping it. The thread's dialogs are cancelled at once
// and again at each sweep, since a plug-in may open one while the stop is under way.
DWORD wait_for_thread(HANDLE thread, DWORD timeout_ms)
{
    if (!thread)
        return WAIT_FAILED;
    // A thread that has ended (Render collecting it) has no dialogs to cancel.
    if (WaitForSingleObject(thread, 0) == WAIT_OBJECT_0)
        return WAIT_OBJECT_0;
    const DWORD thread_id = GetThreadId(thread);
    const DWORD start = GetTickCount();
    DWORD last_sweep = start;
    cancel_thread_dialogs(thread_id);
    for (;;) {
        const DWORD now_ms = GetTickCount();
        const DWORD elapsed = now_ms - start;
        if (elapsed >= timeout_ms)
            return WaitForSingleObject(thread, 0);
        if (now_ms - last_sweep >= kDialogSweepMs) {
            cancel_thread_dialogs(thread_id);
            last_sweep = now_ms;
        }
        const DWORD slice = timeout_ms - elapsed < kDialogSweepMs ? timeout_ms - elapsed
                                                                  : kDialogSweepMs;
        const DWORD result = wait_answering_sends(thread, slice);
        if (result != WAIT_TIMEOUT)
            return result;
    }
}

void __stdcall exit_from_own_wait(ULONG_PTR)
{
    ExitThread(0);
}

// A thread still in the render loop (a long frame delay with render calls still owed) is
// told to exit from the loop's own wait: it leaves through ExitThread, which frees what the
// thread holds, where TerminateThread cuts it off wherever it stands. Some Wine builds take
// the whole process down when TerminateThread meets a thread inside a system call.
bool exit_thread_from_its_loop(HANDLE thread)
{
    return QueueUserAPC(exit_from_own_wait, thread, 0) &&
           wait_for_thread(thread, kOwnExitWaitMs) == WAIT_OBJECT_0;
}

}  // namespace

void stop_render_thread()
{
    g_state.stop_requested = 1;
    HANDLE thread = g_state.render_thread;
    if (wait_for_thread(thread, kStopWaitMs) != WAIT_OBJECT_0) {
        if (thread) {
            const DWORD thread_id = GetThreadId(thread);
            if (!exit_thread_from_its_loop(thread)) {
                TerminateThread(thread, 0);
                WaitForSingleObject(thread, kTerminationWaitMs);
            }
            recover_audio_lock_from(thread_id);
        }
        teardown_runtime();
    }
    if (g_state.render_thread) {
        CloseHandle(g_state.render_thread);
        g_state.render_thread = nullptr;
    }
}

int32_t is_render_thread_running()
{
    DWORD exit_code = 0;
    return g_state.render_thread && GetExitCodeThread(g_state.render_thread, &exit_code) &&
                   exit_code == STILL_ACTIVE
               ? 1
               : 0;
}

namespace {

// Not a PumpResult: one message was handled and the queue may hold more.
constexpr intptr_t kMessageHandled = -1;

intptr_t __cdecl take_one_message(MSG* msg)
{
    if (!PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE))
        return kPumpQueueEmpty;
    if (msg->message == WM_QUIT)
        return kPumpTookQuit;
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return kMessageHandled;
}

}  // namespace

int32_t pump_thread_messages()
{
    MSG msg;
    for (;;) {
        // The plug-in's window procedures run inside the dispatch, and inside the peek for
        // what other threads send (the system's broadcasts among them); a fault there
        // would otherwise go up through the render thread and end the player's process.
        const GuardedResult taken = call_guarded(take_one_message, &msg);
        if (taken.faulted)
            return kPumpFaulted;
        if (taken.value != kMessageHandled)
            return static_cast<int32_t>(taken.value);
    }
}

void teardown_runtime()
{
    unload_winamp_plugin();
    if (HWND frame = g_state.embed_window.exchange(nullptr)) {
        g_state.embed_state = nullptr;
        DestroyWindow(frame);
    }
    destroy_parent_window();
    UnregisterClassA(kEmbedWindowClass, nullptr);
    UnregisterClassA(kParentWindowClass, nullptr);
    g_state.vis_window = nullptr;
    g_state.module_initialising = 0;
    update_menu_state(0);
}
