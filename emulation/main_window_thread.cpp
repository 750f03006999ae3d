#include "emulation/main_window_thread.h"

#include "emulation/emulated_windows.h"
#include "host/wrapper_state.h"
#include "runtime/answering_wait.h"
#include "runtime/exception_guard.h"

#include <atomic>

namespace {

constexpr int kParentWidth = 50;
constexpr int kParentHeight = 30;
// Creating one hidden window takes milliseconds; the bound only keeps a start from hanging.
constexpr DWORD kCreationWaitMs = 10000;
// The thread is between two messages at any moment, none of which waits longer than a
// forward to the player (300 ms).
constexpr DWORD kEndWaitMs = 2000;
// Posted to the thread itself: a plug-in that subclassed the window could swallow a
// message sent to the window.
constexpr UINT kDestroyRequest = WM_APP + 1;

// The caller and the new thread share it: a caller that gave up waiting must not free what
// the thread still writes.
struct StartRecord {
    DWORD ex_style = 0;
    HANDLE created = nullptr;
    std::atomic<HWND> window{nullptr};
    std::atomic<int> owners{2};
};

void release(StartRecord* record)
{
    if (record->owners.fetch_sub(1) == 1) {
        CloseHandle(record->created);
        delete record;
    }
}

HANDLE g_thread = nullptr;

struct PumpState {
    HWND window;
    MSG msg;
};

intptr_t __cdecl handle_one_message(PumpState* state)
{
    const BOOL got = GetMessageA(&state->msg, nullptr, 0, 0);
    if (got == -1)
        return 0;
    // A WM_QUIT posted to Winamp's main window asks for the end of the run; the window
    // itself stays until the teardown.
    if (got == 0) {
        g_state.stop_requested = 1;
        return 1;
    }
    if (!state->msg.hwnd && state->msg.message == kDestroyRequest) {
        DestroyWindow(state->window);
        return 1;
    }
    TranslateMessage(&state->msg);
    DispatchMessageA(&state->msg);
    return 1;
}

DWORD WINAPI main_window_thread_main(LPVOID parameter)
{
    auto* start = static_cast<StartRecord*>(parameter);
    HWND window = CreateWindowExA(start->ex_style, kParentWindowClass, "", 0, CW_USEDEFAULT,
                                  CW_USEDEFAULT, kParentWidth, kParentHeight, nullptr, nullptr,
                                  nullptr, nullptr);
    start->window = window;
    SetEvent(start->created);
    release(start);
    if (!window)
        return 1;
    PumpState state = {window, {}};
    // The procedure is ours, but a plug-in may have subclassed the window: a fault in its
    // code ends the run, as a fault in its drawing window's procedure does.
    while (IsWindow(window)) {
        const GuardedResult handled = call_guarded(handle_one_message, &state);
        if (handled.faulted)
            g_state.stop_requested = 1;
        else if (handled.value == 0)
            break;
    }
    return 0;
}

}  // namespace

HWND start_main_window_thread(DWORD ex_style)
{
    end_main_window_thread();
    auto* start = new StartRecord;
    start->ex_style = ex_style;
    start->created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!start->created) {
        delete start;
        return nullptr;
    }
    g_thread = CreateThread(nullptr, 0, main_window_thread_main, start, 0, nullptr);
    if (!g_thread) {
        CloseHandle(start->created);
        delete start;
        return nullptr;
    }
    HANDLE waited[] = {start->created, g_thread};
    WaitForMultipleObjects(2, waited, FALSE, kCreationWaitMs);
    HWND window = start->window;
    release(start);
    return window;
}

void end_main_window_thread()
{
    HANDLE thread = g_thread;
    g_thread = nullptr;
    if (!thread)
        return;
    // Fails harmlessly when the thread has ended already.
    PostThreadMessageA(GetThreadId(thread), kDestroyRequest, 0, 0);
    // Destroying the window may send to windows of this thread that it owns.
    wait_answering_sends(thread, kEndWaitMs);
    CloseHandle(thread);
}
