#include "runtime/stack_guard.h"

#include <windows.h>

namespace {

// The guard may not be set on the page the caller stands on, nor right under it: the
// caller needs room to return.
constexpr DWORD kPagesKeptFree = 2;

DWORD page_size()
{
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    return system.dwPageSize;
}

// The stack's current lower end, which the system keeps in the thread's record (fs:[8]);
// after an overflow it is the page that was the guard.
char* stack_limit()
{
    char* limit = nullptr;
    __asm__ volatile("movl %%fs:8, %0" : "=r"(limit));
    return limit;
}

}  // namespace

bool restore_stack_guard()
{
    const DWORD page = page_size();
    char* limit = stack_limit();
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(limit, &info, sizeof info) || info.State != MEM_COMMIT)
        return false;
    if (info.Protect & PAGE_GUARD)
        return true;

    volatile char here = 0;
    if (const_cast<char*>(&here) < limit + kPagesKeptFree * page)
        return false;
    DWORD previous = 0;
    return VirtualProtect(limit, page, PAGE_READWRITE | PAGE_GUARD, &previous) != 0;
}
