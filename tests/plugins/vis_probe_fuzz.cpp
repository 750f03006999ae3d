#include "tests/plugins/vis_probe_fuzz.h"

#include "runtime/exception_guard.h"
#include "tests/plugins/vis_probe_fuzz_actions.h"
#include "tests/plugins/vis_probe_fuzz_memory.h"

#include <cstdio>
#include <cstring>

namespace {

ProbeFuzzControl g_fuzz;
FuzzRandom g_random;
uint32_t g_seeded_with = 0;
bool g_seeded = false;
FuzzTargets g_targets = {};
PVOID g_observer = nullptr;
DWORD g_fuzzing_thread = 0;
char g_action[kFuzzActionText] = "";
ProbeFuzzKind g_action_kind = kFuzzKindCount;
int g_depth = 0;
LONG g_window_messages = 0;

// One thread acts at a time; a thread that finds another acting skips its turn instead of
// waiting for it: the one acting may be sending to a window of the one that would wait.
struct ActingLock {
    ActingLock() { InitializeCriticalSection(&section); }
    CRITICAL_SECTION section;
} g_acting;

// The probe's own fuzzing thread, from init until quit.
constexpr DWORD kWorkerPauseMs = 10;
constexpr DWORD kWorkerEndWaitMs = 5000;
HANDLE g_worker = nullptr;
volatile LONG g_worker_stop = 0;

// Shares of the kinds, in the order of ProbeFuzzKind.
constexpr uint32_t kWeights[kFuzzKindCount] = {34, 24, 12, 5, 22, 3};

void describe(ProbeFuzzKind kind, const char* text)
{
    InterlockedIncrement(&g_fuzz.counts[kind]);
    g_action_kind = kind;
    lstrcpynA(g_action, text, sizeof g_action);
}

void record_fault(const EXCEPTION_RECORD& record, bool on_fuzzing_thread)
{
    const ProbeFuzzKind kind = on_fuzzing_thread && g_depth ? g_action_kind : kFuzzKindCount;
    InterlockedIncrement(&g_fuzz.faults_by_kind[kind]);
    const auto address = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
    const LONG places = g_fuzz.fault_places;
    for (LONG i = 0; i < places; ++i)
        if (g_fuzz.faults[i].address == address)
            return;
    if (places >= kFuzzMaxFaults)
        return;
    ProbeFuzzFault& fault = g_fuzz.faults[places];
    g_fuzz.fault_places = places + 1;
    fault.kind = kind;
    fault.code = record.ExceptionCode;
    fault.address = address;
    HMODULE module = nullptr;
    char path[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(record.ExceptionAddress), &module) &&
        GetModuleFileNameA(module, path, sizeof path)) {
        fault.offset = static_cast<uint32_t>(fault.address - reinterpret_cast<uintptr_t>(module));
    }
    const char* name = strrchr(path, '\\');
    lstrcpynA(fault.module, name ? name + 1 : path, sizeof fault.module);
    lstrcpynA(fault.action,
              !on_fuzzing_thread ? "(another thread)" : g_depth ? g_action : "(between actions)",
              sizeof fault.action);
    // At once, too: a fault that nobody catches ends the process before anyone reads the block.
    fprintf(stderr, "vis_probe fuzz: exception 0x%08lx at %s+0x%lx during: %s\n", fault.code,
            fault.module, static_cast<unsigned long>(fault.offset), fault.action);
    fflush(stderr);
}

// Sees every exception first and only looks: whoever catches it still does.
LONG CALLBACK observe(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    // Errors only; the system's own notices (debug output, thread names) are not faults.
    if ((record.ExceptionCode & 0xC0000000u) == 0xC0000000u)
        record_fault(record, GetCurrentThreadId() == g_fuzzing_thread);
    return EXCEPTION_CONTINUE_SEARCH;
}

bool fuzzing()
{
    if (!g_fuzz.enabled)
        return false;
    if (!g_seeded || g_seeded_with != g_fuzz.seed) {
        g_random.seed(g_fuzz.seed);
        g_seeded_with = g_fuzz.seed;
        g_seeded = true;
    }
    g_fuzzing_thread = GetCurrentThreadId();
    if (!g_observer)
        g_observer = AddVectoredExceptionHandler(1, observe);
    return true;
}

ProbeFuzzKind draw_kind()
{
    uint32_t pick = g_random.below(100);
    for (int kind = 0; kind < kFuzzKindCount; ++kind) {
        if (pick < kWeights[kind])
            return static_cast<ProbeFuzzKind>(kind);
        pick -= kWeights[kind];
    }
    return kFuzzWinampMessage;
}

// What the actions under way aim at: the hook's targets, or the worker's.
const FuzzTargets* g_acting_targets = &g_targets;

intptr_t __cdecl run_one(intptr_t kind)
{
    run_fuzz_action(static_cast<ProbeFuzzKind>(kind), g_random, *g_acting_targets, g_fuzz,
                    describe);
    return 0;
}

// Each action inside a guard of the plug-in's own, so that a fault the wrapper lets through
// is recorded and the fuzzing goes on. Actions nest (a message makes the wrapper call the
// drawing window, which acts again); the text of the outer one comes back after.
void act(int count, const FuzzTargets& targets = g_targets)
{
    if (!TryEnterCriticalSection(&g_acting.section))
        return;
    g_fuzzing_thread = GetCurrentThreadId();
    const FuzzTargets* outer_targets = g_acting_targets;
    g_acting_targets = &targets;
    char outer[kFuzzActionText];
    lstrcpynA(outer, g_action, sizeof outer);
    const ProbeFuzzKind outer_kind = g_action_kind;
    ++g_depth;
    for (int i = 0; i < count; ++i)
        call_guarded(run_one, static_cast<intptr_t>(draw_kind()));
    --g_depth;
    lstrcpynA(g_action, outer, sizeof g_action);
    g_action_kind = outer_kind;
    g_acting_targets = outer_targets;
    LeaveCriticalSection(&g_acting.section);
}

void take_targets(HWND winamp, HWND frame, HWND drawing, WinampVisModule* module)
{
    g_targets = {winamp, frame, drawing, module};
}

// Aims at the windows but never at the module record, which only render's actions change.
DWORD WINAPI fuzz_worker(LPVOID)
{
    while (!g_worker_stop) {
        FuzzTargets targets = g_targets;
        targets.module = nullptr;
        if (targets.winamp)
            act(1, targets);
        Sleep(kWorkerPauseMs);
    }
    return 0;
}

void start_worker()
{
    if (!g_worker)
        g_worker = CreateThread(nullptr, 0, fuzz_worker, nullptr, 0, nullptr);
}

// The worker may be sending to a window of this thread: what is sent is answered meanwhile.
void stop_worker()
{
    if (!g_worker)
        return;
    InterlockedExchange(&g_worker_stop, 1);
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &g_worker, FALSE, kWorkerPauseMs, QS_SENDMESSAGE) !=
               WAIT_OBJECT_0 &&
           GetTickCount() - start < kWorkerEndWaitMs) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(g_worker);
    g_worker = nullptr;
    g_worker_stop = 0;
}

}  // namespace

void fuzz_from_init(HWND winamp, HWND frame, HWND drawing)
{
    if (!fuzzing())
        return;
    take_targets(winamp, frame, drawing, nullptr);
    act(g_fuzz.actions_per_init);
    start_worker();
}

void fuzz_from_config(HWND winamp)
{
    if (!fuzzing())
        return;
    const FuzzTargets running = g_targets;
    take_targets(winamp, running.frame, running.drawing, nullptr);
    act(g_fuzz.actions_per_init);
    g_targets = running;
}

void fuzz_from_render(WinampVisModule* module, HWND frame, HWND drawing)
{
    if (!fuzzing())
        return;
    take_targets(module->parent, frame, drawing, module);
    act(g_fuzz.actions_per_render);
    restore_after_fuzzing(g_targets);
}

void fuzz_from_window_message()
{
    // Two levels of nesting at most: deeper, each message would beget the next for ever.
    if (g_depth >= 2 || !g_targets.winamp || !fuzzing())
        return;
    const LONG stride = g_fuzz.window_message_stride > 0 ? g_fuzz.window_message_stride : 1;
    if (++g_window_messages % stride == 0)
        act(1);
}

void fuzz_quit()
{
    stop_worker();
    g_fuzz.quit_thread = GetCurrentThreadId();
    InterlockedIncrement(&g_fuzz.quits);
    g_targets = {};
    forget_fuzz_run();
}

void fuzz_reset()
{
    if (g_observer)
        RemoveVectoredExceptionHandler(g_observer);
    g_observer = nullptr;
    fuzz_quit();
    release_fuzz_memory();
    g_fuzz = ProbeFuzzControl();
    g_seeded = false;
    g_depth = 0;
    g_window_messages = 0;
}

extern "C" __declspec(dllexport) ProbeFuzzControl* __cdecl probe_fuzz()
{
    return &g_fuzz;
}
