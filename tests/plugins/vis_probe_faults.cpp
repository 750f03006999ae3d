#include "tests/plugins/vis_probe_faults.h"

namespace {

volatile int g_zero = 0;
volatile int g_sink = 0;
void* g_no_access = nullptr;

// Each level takes more than a page, so the overflow is met by the page probes of the
// prologue while the stack pointer still has a page of room for the exception's dispatch.
__attribute__((noinline)) int overflow_stack(int depth)
{
    volatile char frame[5000];
    frame[0] = static_cast<char>(depth);
    if (g_zero == 0)
        return overflow_stack(depth + 1) + frame[0];
    return frame[0];
}

}  // namespace

void raise_fault(ProbeFault fault)
{
    switch (fault) {
    case kProbeAccessViolation:
        g_sink = *reinterpret_cast<volatile int*>(static_cast<intptr_t>(g_zero));
        break;
    case kProbeDivideByZero:
        // A dividend the compiler cannot see: 1 / x compiles to a comparison, no division.
        g_sink = g_sink / g_zero;
        break;
    case kProbeMsvcThrow:
        RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, nullptr);
        break;
    case kProbeStackOverflow:
        g_sink = overflow_stack(0);
        break;
    case kProbeEndlessLoop:
        while (g_zero == 0)
            g_sink = g_sink + 1;
        break;
    case kProbeNoFault:
        break;
    }
}

void* no_access_memory()
{
    if (!g_no_access)
        g_no_access = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
    return g_no_access;
}

void release_no_access_memory()
{
    if (g_no_access)
        VirtualFree(g_no_access, 0, MEM_RELEASE);
    g_no_access = nullptr;
}
