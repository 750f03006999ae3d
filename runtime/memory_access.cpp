#include "runtime/memory_access.h"

#include <windows.h>

#include <cstdint>

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

namespace {

// Reads page by page, so a text that ends before an unreadable page is still whole.
template <typename Char>
bool text_ends_in_readable_memory(const Char* text, size_t limit)
{
    constexpr uintptr_t kPageSize = 4096;
    const Char* at = text;
    for (size_t left = limit; left > 0;) {
        const auto address = reinterpret_cast<uintptr_t>(at);
        const size_t in_page = (kPageSize - address % kPageSize) / sizeof(Char);
        const size_t count = in_page == 0 ? 1 : (in_page < left ? in_page : left);
        if (!is_readable_memory(at, count * sizeof(Char)))
            return false;
        for (size_t i = 0; i < count; ++i)
            if (at[i] == Char(0))
                return true;
        at += count;
        left -= count;
    }
    return false;
}

}  // namespace

bool is_readable_text(const char* text, size_t limit)
{
    return text_ends_in_readable_memory(text, limit);
}

bool is_readable_text(const wchar_t* text, size_t limit)
{
    return text_ends_in_readable_memory(text, limit);
}

bool is_loaded_module(const void* address)
{
    HMODULE module = nullptr;
    return address &&
           GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(address), &module) &&
           module == address;
}
