// The exception code a processor fault arrives with in this run. Under qemu's user-mode
// emulator (scripts/wine-run sets ZEKO_EMULATED_CPU=1) the signal frame the emulator builds
// carries no trap number, so Wine reports a page fault as an illegal instruction and an
// integer divide by zero as an invalid floating-point operation. A stack overflow arrives
// there either way: Wine 10 tells it from its own stack bounds on a thread it made, not on the
// main thread (both seen). Raised exceptions and every code on a real processor arrive as
// they are.
#pragma once

#include <windows.h>

DWORD reported_fault_code(DWORD code);

// Whether a fault raised as `raised` may arrive as `reported` in this run.
bool is_reported_fault_code(DWORD reported, DWORD raised);

// Whether qemu's user-mode emulator runs this program.
bool cpu_is_emulated();
