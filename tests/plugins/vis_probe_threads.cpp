#include "tests/plugins/vis_probe_threads.h"

#include "tests/plugins/vis_probe_faults.h"

#include <ctime>
#include <process.h>

namespace {

constexpr LONG kRendersBeforeFault = 3;
// Bounds on the worker's own waits, so that a wrapper gone wrong cannot hang it for ever.
constexpr DWORD kWorkerWaitLimitMs = 60000;

volatile LONG g_renders = 0;
volatile LONG g_quit_seen = 0;
volatile LONG g_worker_started = 0;

void raise_worker_fault(int32_t fault)
{
    switch (fault) {
    case kProbeWorkerMadeUpAddress:
        *reinterpret_cast<volatile int*>(0x0BADF00D) = 1;
        break;
    case kProbeWorkerJumpToNoCode:
        reinterpret_cast<void (*)()>(no_access_memory())();
        break;
    case kProbeWorkerStackOverflow:
        raise_fault(kProbeStackOverflow);
        break;
    default:
        break;
    }
}

bool wait_for(volatile LONG* value, LONG wanted)
{
    for (DWORD waited = 0; *value < wanted && waited < kWorkerWaitLimitMs; ++waited)
        Sleep(1);
    return *value >= wanted;
}

unsigned __stdcall faulting_worker(void* parameter)
{
    auto* control = static_cast<ProbeControl*>(parameter);
    control->worker_thread_id = GetCurrentThreadId();
    InterlockedExchange(&control->worker_started, 1);
    if (!control->render_waits_for_worker && !wait_for(&g_renders, kRendersBeforeFault))
        return 1;
    InterlockedExchange(&control->worker_fault_clock, static_cast<LONG>(clock()));
    raise_worker_fault(control->worker_fault);
    return 0;
}

unsigned __stdcall worker_outliving_quit(void* parameter)
{
    auto* control = static_cast<ProbeControl*>(parameter);
    control->worker_thread_id = GetCurrentThreadId();
    InterlockedExchange(&control->worker_started, 1);
    if (wait_for(&g_quit_seen, 1))
        Sleep(control->worker_outlives_quit_ms);
    InterlockedExchange(&control->worker_ended, 1);
    return 0;
}

HANDLE start_worker(unsigned(__stdcall* routine)(void*), ProbeControl* control)
{
    if (InterlockedExchange(&g_worker_started, 1))
        return nullptr;
    if (control->worker_through_crt)
        return reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, routine, control, 0, nullptr));
    return CreateThread(nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(routine), control, 0,
                        nullptr);
}

}  // namespace

void threads_from_init(ProbeControl* control)
{
    HANDLE worker = nullptr;
    if (control->worker_fault != kProbeWorkerNoFault && !control->render_waits_for_worker)
        worker = start_worker(faulting_worker, control);
    else if (control->worker_outlives_quit_ms > 0)
        worker = start_worker(worker_outliving_quit, control);
    if (worker)
        CloseHandle(worker);
}

void threads_from_render(ProbeControl* control)
{
    InterlockedIncrement(&g_renders);
    if (control->worker_fault == kProbeWorkerNoFault || !control->render_waits_for_worker)
        return;
    if (HANDLE worker = start_worker(faulting_worker, control)) {
        WaitForSingleObject(worker, kWorkerWaitLimitMs);
        CloseHandle(worker);
    }
}

void threads_quit()
{
    InterlockedExchange(&g_quit_seen, 1);
}

void threads_reset()
{
    g_renders = 0;
    g_quit_seen = 0;
    g_worker_started = 0;
}
