#include "runtime/plugin_threads.h"

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

// The filter reads ids and start modules on a faulting thread without a lock; everything
// else changes under g_lock.
SRWLOCK g_lock = SRWLOCK_INIT;
std::atomic<DWORD> g_thread_ids[kMaxThreads];
std::atomic<HMODULE> g_thread_modules[kMaxThreads];
HANDLE g_thread_handles[kMaxThreads];

std::atomic<HMODULE> g_modules[kMaxModules];
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

void add_plugin_module(HMODULE module)
{
    const int count = g_module_count.load();
    if (is_plugin_module(module) || count == kMaxModules)
        return;
    g_modules[count] = module;
    g_module_count = count + 1;
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
        if (handle && g_thread_ids[slot] != GetCurrentThreadId() &&
            is_plugin_module(g_thread_modules[slot]) && !has_ended(handle) &&
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
                         SYNCHRONIZE, FALSE, 0))
        return;
    const HMODULE start_module = module_holding(thread_start_address());
    LockHeld held;
    for (int slot = 0; slot < kMaxThreads; ++slot) {
        if (g_thread_handles[slot] && !has_ended(g_thread_handles[slot]))
            continue;
        forget_thread(slot);
        g_thread_handles[slot] = handle;
        g_thread_modules[slot] = start_module;
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
    const std::vector<HMODULE> modules = loaded_modules();
    LockHeld held;
    add_plugin_module(library);
    for (HMODULE module : modules) {
        bool was_there = false;
        for (HMODULE before : g_modules_before_load)
            was_there = was_there || before == module;
        if (!was_there)
            add_plugin_module(module);
    }
}

bool is_plugin_thread()
{
    if (!g_watching)
        return false;
    const DWORD id = GetCurrentThreadId();
    for (int slot = 0; slot < kMaxThreads; ++slot)
        if (g_thread_ids[slot].load() == id)
            return is_plugin_module(g_thread_modules[slot].load());
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
