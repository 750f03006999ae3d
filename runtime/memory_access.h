// Whether a record a plug-in hands over lies in memory the wrapper may read or write,
// found out without touching it: a bad pointer must not fault outside the guard.
#pragma once

#include <cstddef>

// True when every byte of [address, address + size) is committed, not a guard page, and
// readable (or writable). A null address is neither.
bool is_readable_memory(const void* address, size_t size);
bool is_writable_memory(const void* address, size_t size);

// True when a terminator follows within limit characters and every character up to it
// can be read.
bool is_readable_text(const char* text, size_t limit);
bool is_readable_text(const wchar_t* text, size_t limit);

// True when address is the base of a module the process has loaded: what a plug-in may
// name as the instance whose resources are wanted.
bool is_loaded_module(const void* address);
