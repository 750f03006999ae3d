// The bad addresses the fuzzing mode hands the wrapper: memory with no access, memory it may
// read but not write, and records that run off the end of readable memory.
#pragma once

#include <windows.h>

#include <cstddef>

struct FuzzMemory {
    char* writable;    // one page the probe may use as it likes
    char* no_access;   // one page directly after it: reading past `writable` faults
    char* read_only;   // one page, filled before it was protected
    char* protectable; // one page the fuzz turns read-only and back
};

// Made on first use; nullptr fields when the system refused.
const FuzzMemory& fuzz_memory();
// Makes `protectable` writable again.
void restore_protectable_page();
// Gives every page back.
void release_fuzz_memory();

// An address whose `size` bytes end exactly where the readable memory ends.
void* at_readable_end(size_t size);
