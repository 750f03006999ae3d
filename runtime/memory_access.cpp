#include "runtime/memory_access.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr DWORD kWritable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE |
                            PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kReadable = kWritable | PAGE_READONLY | PAGE_EXECUTE_READ;

bool every_page_allows(const void* address, size_t size, DWORD wanted)
{
    if (!address)
        return false;
    const auto start = reinterpret_cast<uintptr_t>(address);
    if (size == 0 || start + size < start)
        return size == 0;
    const uintptr_t end = start + size;
    for (uintptr_t at = start; at < end;) {
        MEMORY_BASIC_INFORMATION info = {};
        if (!VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info))
            return false;
        if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) ||
            !(info.Protect & wanted))
            return false;
        at = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    }
    return true;
}

}  // namespace

bool is_readable_memory(const void* address, size_t size)
{
    return every_page_allows(address, size, kReadable);
}

bool is_writable_memory(const void* address, size_t size)
{
    return every_page_allows(address, size, kWritable);
}

bool is_readable_text(const char* text, size_t limit)
{
    constexpr uintptr_t kPage = 4096;
    while (text && limit > 0) {
        // Page by page: the terminator may lie before memory that is not readable.
        const auto at = reinterpret_cast<uintptr_t>(text);
        const size_t chunk = static_cast<size_t>(kPage - at % kPage) < limit
                                 ? static_cast<size_t>(kPage - at % kPage)
                                 : limit;
        if (!is_readable_memory(text, chunk))
            return false;
        if (memchr(text, 0, chunk))
            return true;
        text += chunk;
        limit -= chunk;
    }
    return false;
}
