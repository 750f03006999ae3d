// The faults vis_probe raises on request, shared by its entries and its window procedure.
#pragma once

#include "tests/plugins/vis_probe_control.h"

void raise_fault(ProbeFault fault);

// A block of memory with no access at all, made on first use and kept until release.
void* no_access_memory();
void release_no_access_memory();
