#include "tests/support/process_resources.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

namespace {

constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// Wine answers GetProcessHandleCount with 0 (no process holds no handle); the system's
// handle list, which both answer, gives the count then.
DWORD count_handles()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0)
        return count;
    using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QuerySystem>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    std::vector<char> buffer(1 << 16);
    ULONG needed = 0;
    LONG status = kInfoLengthMismatch;
    while ((status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           &needed)) == kInfoLengthMismatch &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return 0;
    const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    // The owner's id is a 16-bit field on Windows.
    const ULONG own_id = GetCurrentProcessId() & 0xFFFF;
    for (ULONG i = 0; i < list->Count; ++i)
        count += (list->Handle[i].OwnerPid & 0xFFFF) == own_id;
    return count;
}

// Committed memory of the process's own (not mapped, not image): what a leak makes grow.
// Walked directly, as Wine reports no private usage.
SIZE_T count_private_bytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info = {};
    for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return total;
}

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
    resources.handles = count_handles();
    resources.user_objects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    resources.gdi_objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    resources.private_bytes = count_private_bytes();
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

namespace {

struct WindowSearch {
    HWND wanted;
    bool found;
};

BOOL CALLBACK find_child(HWND window, LPARAM search_address)
{
    auto* search = reinterpret_cast<WindowSearch*>(search_address);
    search->found = window == search->wanted;
    return !search->found;
}

BOOL CALLBACK find_top_level_or_child(HWND window, LPARAM search_address)
{
    auto* search = reinterpret_cast<WindowSearch*>(search_address);
    if (window != search->wanted)
        EnumChildWindows(window, find_child, search_address);
    else
        search->found = true;
    return !search->found;
}

}  // namespace

bool window_is_listed(HWND window)
{
    WindowSearch search = {window, false};
    if (window)
        EnumWindows(find_top_level_or_child, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
