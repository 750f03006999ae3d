// Whether a record a plug-in hands over lies in memory the wrapper may read or write,
// found out without touching it: a bad pointer must not fault outside the guard.
#pragma once

#include <cstddef>

// True when every byte of [address, address + size) is committed, not a guard page, and
// readable (or writable). A null address is neither.
bool is_readable_memory(const void* address, size_t size);
bool is_writable_memory(const void* address, size_t size);

// True when a zero-terminated text starts at `text` and its terminator lies within `limit`
// bytes, all of them readable.
bool is_readable_text(const char* text, size_t limit);
