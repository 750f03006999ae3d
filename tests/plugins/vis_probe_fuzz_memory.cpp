#include "tests/plugins/vis_probe_fuzz_memory.h"

#include <cstring>

namespace {

constexpr size_t kPage = 4096;
constexpr size_t kPages = 4;

char* g_block = nullptr;
FuzzMemory g_memory = {};

void protect(char* page, DWORD protection)
{
    DWORD old = 0;
    VirtualProtect(page, kPage, protection, &old);
}

}  // namespace

const FuzzMemory& fuzz_memory()
{
    if (g_block)
        return g_memory;
    g_block = static_cast<char*>(
        VirtualAlloc(nullptr, kPage * kPages, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!g_block)
        return g_memory;
    g_memory = {g_block, g_block + kPage, g_block + 2 * kPage, g_block + 3 * kPage};
    // What is read through the read-only page looks like data: small numbers, addresses of
    // itself.
    for (size_t i = 0; i < kPage / sizeof(void*); ++i)
        reinterpret_cast<void**>(g_memory.read_only)[i] = g_memory.read_only + (i % 64) * 8;
    protect(g_memory.no_access, PAGE_NOACCESS);
    protect(g_memory.read_only, PAGE_READONLY);
    return g_memory;
}

void restore_protectable_page()
{
    if (g_block)
        protect(g_memory.protectable, PAGE_READWRITE);
}

void release_fuzz_memory()
{
    if (g_block)
        VirtualFree(g_block, 0, MEM_RELEASE);
    g_block = nullptr;
    g_memory = {};
}

void* at_readable_end(size_t size)
{
    const FuzzMemory& memory = fuzz_memory();
    return memory.writable ? memory.no_access - size : nullptr;
}
