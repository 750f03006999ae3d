#include "runtime/plugin_threads.h"

#include "runtime/plugin_code_on_stack.h"
#include "runtime/plugin_thread_filter.h"

#include <psapi.h>

#include <atomic>
#include <vector>

namespace {

constexpr int kMaxThreads = 64;
constexpr int kMaxModules = 32;
constexpr int kMaxKeptLibraries = 16;
// Long enough for a thread that was told to quit to see it and leave.
constexpr DWORD kThreadEndWaitMs = 1000;
// NtQueryInformationThread's class for the address a thread was started at.
constexpr ULONG kThreadStartAddressClass = 9;

using QueryThreadFunction = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

// What the wait and the stack inspection of a thread need.
constexpr DWORD kThreadAccess = SYNCHRONIZE | THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT;

// The filter reads the threads and the modules on a faulting thread without a lock;
// everything else changes under g_lock.
SRWLOCK g_lock = SRWLOCK_INIT;
std::atomic<DWORD> g_thread_ids[kMaxThreads];
std::atomic<HMODULE> g_thread_modules[kMaxThreads];
// Started through a module of the system's (the C runtime's thread functions among them):
// the plug-in's only while its code is on the thread's stack.
std::atomic<bool> g_thread_starts_in_system[kMaxThreads];
std::atomic<uintptr_t> g_thread_stack_bases[kMaxThreads];
HANDLE g_thread_handles[kMaxThreads];

std::atomic<HMODULE> g_modules[kMaxModules];
std::atomic<uintptr_t> g_module_ends[kMaxModules];
std::atomic<int> g_module_count{0};
std::vector<HMODULE> g_modules_before_load;
HMODULE g_kept[kMaxKeptLibraries];
int g_kept_count = 0;

std::atomic<bool> g_watching{false};
std::atomic<bool> g_faulted{false};

class LockHeld {
public:
    LockHeld() { AcquireSRWLockExclusive(&g_lock); }
    ~LockHeld() { ReleaseSRWLockExclusive(&g_lock); }
    LockHeld(const LockHeld&) = delete;
    LockHeld& operator=(const LockHeld&) = delete;
};

void* thread_start_address()
{
    static const auto query = reinterpret_cast<QueryThreadFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    void* start = nullptr;
    if (!query || query(GetCurrentThread(), kThreadStartAddressClass, &start, sizeof start,
                        nullptr) != 0)
        return nullptr;
    return start;
}

HMODULE module_holding(const void* address)
{
    HMODULE module = nullptr;
    if (!address || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                        static_cast<const char*>(address), &module))
        return nullptr;
    return module;
}

bool is_plugin_module(HMODULE module)
{
    const int count = g_module_count.load();
    for (int i = 0; i < count; ++i)
        if (g_modules[i].load() == module)
            return true;
    return false;
}

bool is_plugin_address(uintptr_t address)
{
    const int count = g_module_count.load();
    for (int i = 0; i < count; ++i)
        if (address >= reinterpret_cast<uintptr_t>(g_modules[i].load()) &&
            address < g_module_ends[i].load())
            return true;
    return false;
}

uintptr_t image_end(HMODULE module)
{
    const auto base = reinterpret_cast<uintptr_t>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return base + nt->OptionalHeader.SizeOfImage;
}

void add_plugin_module(HMODULE module)
{
    const int count = g_module_count.load();
    if (is_plugin_module(module) || count == kMaxModules)
        return;
    g_modules[count] = module;
    g_module_ends[count] = image_end(module);
    g_module_count = count + 1;
}

bool is_system_module(HMODULE module)
{
    char windows[MAX_PATH];
    char path[MAX_PATH];
    const UINT windows_length = GetSystemWindowsDirectoryA(windows, sizeof windows);
    const DWORD path_length = GetModuleFileNameA(module, path, sizeof path);
    return module && windows_length > 0 && windows_length < sizeof windows &&
           path_length > windows_length && path_length < sizeof path &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, windows, windows_length, path,
                          windows_length) == CSTR_EQUAL &&
           path[windows_length] == '\\';
}

uintptr_t own_stack_base()
{
    uintptr_t base = 0;
    __asm__ volatile("movl %%fs:4, %0" : "=r"(base));
    return base;
}

bool is_plugin_thread_in(int slot, uintptr_t eip, uintptr_t esp)
{
    if (is_plugin_module(g_thread_modules[slot].load()))
        return true;
    return g_thread_starts_in_system[slot].load() && esp &&
           plugin_code_on_stack(eip, reinterpret_cast<const uintptr_t*>(esp),
                                reinterpret_cast<const uintptr_t*>(g_thread_stack_bases[slot].load()),
                                is_plugin_address);
}

// Another thread's stack is read while that thread is held, so that it cannot change.
bool runs_plugin_code(int slot)
{
    HANDLE thread = g_thread_handles[slot];
    if (SuspendThread(thread) == static_cast<DWORD>(-1))
        return false;
    CONTEXT context = {};
    context.ContextFlags = CONTEXT_CONTROL;
    const bool found = GetThreadContext(thread, &context) &&
                       is_plugin_thread_in(slot, context.Eip, context.Esp);
    ResumeThread(thread);
    return found;
}

bool is_other_plugin_thread(int slot)
{
    if (is_plugin_module(g_thread_modules[slot].load()))
        return true;
    return g_thread_starts_in_system[slot].load() && runs_plugin_code(slot);
}

std::vector<HMODULE> loaded_modules()
{
    std::vector<HMODULE> modules(256);
    DWORD needed = 0;
    while (K32EnumProcessModules(GetCurrentProcess(), modules.data(),
                                 static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed)) {
        if (needed <= modules.size() * sizeof(HMODULE)) {
            modules.resize(needed / sizeof(HMODULE));
            return modules;
        }
        modules.resize(needed / sizeof(HMODULE));
    }
    return {};
}

bool has_ended(HANDLE thread)
{
    return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

void forget_thread(int slot)
{
    g_thread_ids[slot] = 0;
    g_thread_modules[slot] = nullptr;
    g_thread_starts_in_system[slot] = false;
    if (g_thread_handles[slot])
        CloseHandle(g_thread_handles[slot]);
    g_thread_handles[slot] = nullptr;
}

// Copies of the handles of the plug-in's threads that still run, for a wait outside the
// lock: a slot may be reused meanwhile.
std::vector<HANDLE> running_plugin_threads()
{
    LockHeld held;
    std::vector<HANDLE> running;
    for (int slot = 0; slot < kMaxThreads; ++slot) {
        HANDLE handle = g_thread_handles[slot];
        HANDLE copy = nullptr;
        if (handle && g_thread_ids[slot] != GetCurrentThreadId() && !has_ended(handle) &&
            is_other_plugin_thread(slot) &&
            DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, SYNCHRONIZE,
                            FALSE, 0))
            running.push_back(copy);
    }
    return running;
}

bool plugin_threads_end_within(DWORD timeout_ms)
{
    std::vector<HANDLE> running = running_plugin_threads();
    if (running.empty())
        return true;
    const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(running.size()),
                                                running.data(), TRUE, timeout_ms);
    for (HANDLE handle : running)
        CloseHandle(handle);
    return result < WAIT_OBJECT_0 + running.size();
}

}  // namespace

void note_thread_begins()
{
    if (!g_watching)
        return;
    HANDLE handle = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &handle,
                         kThreadAccess, FALSE, 0))
        return;
    const HMODULE start_module = module_holding(thread_start_address());
    const bool starts_in_system = is_system_module(start_module);
    LockHeld held;
    for (int slot = 0; slot < kMaxThreads; ++slot) {
        if (g_thread_handles[slot] && !has_ended(g_thread_handles[slot]))
            continue;
        forget_thread(slot);
        g_thread_handles[slot] = handle;
        g_thread_modules[slot] = start_module;
        g_thread_starts_in_system[slot] = starts_in_system;
        g_thread_stack_bases[slot] = own_stack_base();
        g_thread_ids[slot] = GetCurrentThreadId();
        return;
    }
    CloseHandle(handle);
}

void begin_plugin_load()
{
    install_plugin_thread_filter();
    g_modules_before_load = loaded_modules();
    g_faulted = false;
    g_watching = true;
}

void note_plugin_library(HMODULE library)
{
    // The system's modules its load brought (winmm, d3d9...) run threads of their own that
    // outlive the plug-in's quit, such as a timer thread: those count only while they run
    // the plug-in's code, as every thread of the system's does.
    std::vector<HMODULE> brought{library};
    for (HMODULE module : loaded_modules()) {
        bool was_there = false;
        for (HMODULE before : g_modules_before_load)
            was_there = was_there || before == module;
        if (!was_there && !is_system_module(module))
            brought.push_back(module);
    }
    // Outside the lock, the look-ups above take the loader's lock, as a thread that
    // begins does before it takes this one.
    LockHeld held;
    for (HMODULE module : brought)
        add_plugin_module(module);
}

bool is_plugin_thread(const CONTEXT* context)
{
    if (!g_watching)
        return false;
    const DWORD id = GetCurrentThreadId();
    for (int slot = 0; slot < kMaxThreads; ++slot)
        if (g_thread_ids[slot].load() == id)
            return is_plugin_thread_in(slot, context->Eip, context->Esp);
    return false;
}

bool plugin_thread_faulted()
{
    return g_faulted.load();
}

void note_plugin_thread_fault()
{
    g_faulted = true;
}

void release_plugin_library(HMODULE library)
{
    if (!library)
        return;
    if (!plugin_threads_end_within(kThreadEndWaitMs)) {
        LockHeld held;
        // Beyond the slots a reference is left for ever, which is still no unload.
        if (g_kept_count < kMaxKeptLibraries)
            g_kept[g_kept_count++] = library;
        return;
    }
    std::vector<HMODULE> freed{library};
    {
        LockHeld held;
        freed.insert(freed.end(), g_kept, g_kept + g_kept_count);
        g_kept_count = 0;
        g_watching = false;
        for (int slot = 0; slot < kMaxThreads; ++slot)
            forget_thread(slot);
        g_module_count = 0;
    }
    withdraw_plugin_thread_filter();
    // Outside the lock: a thread that begins takes the loader's lock, then this one.
    for (HMODULE module : freed)
        FreeLibrary(module);
}

void forget_plugin_threads_at_unload()
{
    g_watching = false;
    withdraw_plugin_thread_filter();
}
