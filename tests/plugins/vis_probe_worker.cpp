#include "tests/plugins/vis_probe_worker.h"

#include <initializer_list>

namespace {

// Far beyond what a frame takes; a wait that runs out means the worker was stuck.
constexpr DWORD kProbeWaitMs = 3000;
// The worker looks for its end this often while no frame comes.
constexpr DWORD kDataWaitMs = 100;

struct Worker {
    HWND parent = nullptr;
    ProbeWorkerRecord* record = nullptr;
    HANDLE thread = nullptr;
    HANDLE ready = nullptr;
    HANDLE data = nullptr;
    HANDLE done = nullptr;
    volatile LONG quit = 0;
};

Worker g_worker;

struct Request {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

const Request kRequests[kProbeWorkerRequests] = {
    {WM_USER, 0, 104}, {WM_USER, 0, 125}, {WM_USER, 0, 105}, {WM_USER, 0, 124},
    {WM_COMMAND, kProbeWorkerCommand, 0},
};

LRESULT ask(const Request& request)
{
    const DWORD start = GetTickCount();
    const LRESULT answer = SendMessageA(g_worker.parent, request.message, request.wparam,
                                        request.lparam);
    const DWORD took = GetTickCount() - start;
    if (took > g_worker.record->longest_request_ms)
        g_worker.record->longest_request_ms = took;
    InterlockedIncrement(&g_worker.record->requests_sent);
    return answer;
}

DWORD WINAPI worker_main(LPVOID)
{
    g_worker.record->thread_id = GetCurrentThreadId();
    SetEvent(g_worker.ready);
    while (!g_worker.quit) {
        if (WaitForSingleObject(g_worker.data, kDataWaitMs) != WAIT_OBJECT_0)
            continue;
        InterlockedIncrement(&g_worker.record->frames_taken);
        for (int i = 0; i < kProbeWorkerRequests; ++i)
            g_worker.record->answers[i] = ask(kRequests[i]);
        SetEvent(g_worker.done);
    }
    // Its last look at the player, while quit already waits for it.
    ask(kRequests[0]);
    return 0;
}

}  // namespace

void start_frame_worker(HWND parent, ProbeWorkerRecord* record)
{
    g_worker.parent = parent;
    g_worker.record = record;
    g_worker.quit = 0;
    g_worker.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_worker.data = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_worker.done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_worker.thread = CreateThread(nullptr, 0, worker_main, nullptr, 0, nullptr);
    if (!g_worker.thread)
        return;
    HANDLE waited[] = {g_worker.ready, g_worker.thread};
    if (WaitForMultipleObjects(2, waited, FALSE, kProbeWaitMs) == WAIT_TIMEOUT)
        InterlockedIncrement(&record->init_wait_expired);
}

void hand_frame_to_worker()
{
    if (!g_worker.thread)
        return;
    SetEvent(g_worker.data);
    HANDLE waited[] = {g_worker.thread, g_worker.done};
    if (WaitForMultipleObjects(2, waited, FALSE, kProbeWaitMs) == WAIT_TIMEOUT)
        InterlockedIncrement(&g_worker.record->render_waits_expired);
}

void join_frame_worker()
{
    if (!g_worker.thread)
        return;
    g_worker.quit = 1;
    if (WaitForSingleObject(g_worker.thread, kProbeWaitMs) == WAIT_TIMEOUT)
        InterlockedIncrement(&g_worker.record->quit_wait_expired);
    for (HANDLE* handle : {&g_worker.thread, &g_worker.ready, &g_worker.data, &g_worker.done}) {
        CloseHandle(*handle);
        *handle = nullptr;
    }
}
