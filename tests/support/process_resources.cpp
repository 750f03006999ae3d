#include "tests/support/process_resources.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>

namespace {

int count_threads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

BOOL CALLBACK count_own_window(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

struct ClassSearch {
    const char* class_name;
    bool found;
};

BOOL CALLBACK find_own_window(HWND window, LPARAM search_address)
{
    auto* search = reinterpret_cast<ClassSearch*>(search_address);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = {};
    if (process == GetCurrentProcessId() && GetClassNameA(window, name, sizeof name) &&
        lstrcmpiA(name, search->class_name) == 0) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

std::string line(const char* name, double before, double after)
{
    char text[96];
    snprintf(text, sizeof text, "%s %.0f -> %.0f (%+.0f)", name, before, after, after - before);
    return text;
}

}  // namespace

ProcessResources measure_process_resources()
{
    ProcessResources resources;
    GetProcessHandleCount(GetCurrentProcess(), &resources.handles);
    resources.user_objects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    resources.gdi_objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        resources.private_bytes = memory.PrivateUsage;
    resources.threads = count_threads();
    EnumWindows(count_own_window, reinterpret_cast<LPARAM>(&resources.windows));
    return resources;
}

std::string describe_growth(const ProcessResources& before, const ProcessResources& after)
{
    return line("handles", before.handles, after.handles) + ", " +
           line("USER", before.user_objects, after.user_objects) + ", " +
           line("GDI", before.gdi_objects, after.gdi_objects) + ", " +
           line("private KB", before.private_bytes / 1024.0, after.private_bytes / 1024.0) + ", " +
           line("threads", before.threads, after.threads) + ", " +
           line("windows", before.windows, after.windows);
}

bool own_window_exists(const char* class_name)
{
    ClassSearch search = {class_name, false};
    EnumWindows(find_own_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
