// The exception code a processor fault arrives with in this run. Under qemu's user-mode
// emulator (scripts/wine-run sets ZEKO_EMULATED_CPU=1) the signal frame the emulator builds
// carries no trap number, so Wine reports a page fault as an illegal instruction and an
// integer divide by zero as an invalid floating-point operation. Raised exceptions and every
// code on a real processor arrive as they are.
#pragma once

#include <windows.h>

DWORD reported_fault_code(DWORD code);
