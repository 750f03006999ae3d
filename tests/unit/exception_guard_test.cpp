#include "runtime/exception_guard.h"
#include "runtime/winamp_vis.h"
#include "tests/support/probe_plugin.h"
#include "tests/support/reported_fault_code.h"
#include "tests/support/wrapper_dll.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

volatile int g_zero = 0;

intptr_t __cdecl touch_null(intptr_t)
{
    SetLastError(1234);
    return *reinterpret_cast<volatile int*>(g_zero);
}

intptr_t __cdecl divide_by_zero(intptr_t value)
{
    return value / g_zero;
}

intptr_t __cdecl throw_msvc_style(intptr_t)
{
    RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return 0;
}

intptr_t __cdecl add_one(intptr_t value)
{
    return value + 1;
}

TEST(ExceptionGuard, ReturnsTheResultOfACallThatReturns)
{
    const GuardedResult outcome = call_guarded(add_one, 41);
    EXPECT_FALSE(outcome.faulted);
    EXPECT_EQ(outcome.value, 42);
}

TEST(ExceptionGuard, CatchesFaultsAndThrowsAndReportsWhich)
{
    GuardedResult outcome = call_guarded(touch_null, 0);
    EXPECT_TRUE(outcome.faulted);
    EXPECT_EQ(outcome.exception_code, reported_fault_code(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_EQ(outcome.last_error, 1234u);

    outcome = call_guarded(divide_by_zero, 7);
    EXPECT_TRUE(outcome.faulted);
    EXPECT_EQ(outcome.exception_code, reported_fault_code(EXCEPTION_INT_DIVIDE_BY_ZERO));

    outcome = call_guarded(throw_msvc_style, 0);
    EXPECT_TRUE(outcome.faulted);
    EXPECT_EQ(outcome.exception_code, 0xE06D7363u);
}

void fault_many_times(int count, int* caught)
{
    for (int i = 0; i < count; ++i) {
        PluginCall call = i % 3 == 0 ? touch_null : i % 3 == 1 ? divide_by_zero : throw_msvc_style;
        *caught += call_guarded(call, 1).faulted;
        if (call_guarded(add_one, i).value != i + 1)
            return;
    }
}

TEST(ExceptionGuard, CatchesAThousandFaultsInARowOnTwoThreadsAtOnce)
{
    int caught_here = 0;
    int caught_there = 0;
    std::thread other(fault_many_times, 1000, &caught_there);
    fault_many_times(1000, &caught_here);
    other.join();
    EXPECT_EQ(caught_here, 1000);
    EXPECT_EQ(caught_there, 1000);
    EXPECT_EQ(call_guarded(add_one, 1).value, 2);
}

struct FaultCase {
    ProbeFault fault;
    DWORD code;
};

// Each kind twice in a row: the second stack overflow proves the guard page came back.
// Under qemu's emulator Wine 10 survives only the first overflow of a thread (the second,
// with the guard page back, takes the emulated process down), so there each overflows once.
void fault_in_probe_header(ProbeControl& control, WinampVisGetHeaderFunction header)
{
    const FaultCase cases[] = {
        {kProbeAccessViolation, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION)},
        {kProbeDivideByZero, static_cast<DWORD>(EXCEPTION_INT_DIVIDE_BY_ZERO)},
        {kProbeMsvcThrow, 0xE06D7363u},
        {kProbeStackOverflow, static_cast<DWORD>(EXCEPTION_STACK_OVERFLOW)},
    };
    for (const FaultCase& fault_case : cases) {
        const bool once = fault_case.fault == kProbeStackOverflow && cpu_is_emulated();
        for (int round = 0; round < (once ? 1 : 2); ++round) {
            control.faults[kProbeHeader] = fault_case.fault;
            const GuardedResult outcome = call_guarded(header, HWND(nullptr));
            EXPECT_TRUE(outcome.faulted) << fault_case.fault;
            EXPECT_TRUE(is_reported_fault_code(outcome.exception_code, fault_case.code))
                << fault_case.fault << ": " << std::hex << outcome.exception_code;
        }
    }
    control.faults[kProbeHeader] = kProbeNoFault;
    const GuardedResult outcome = call_guarded(header, HWND(nullptr));
    EXPECT_FALSE(outcome.faulted);
    EXPECT_NE(outcome.value, 0);
}

TEST(ExceptionGuard, CatchesEveryKindRaisedInAnotherDllOnAnotherThreadAndTheMainOne)
{
    ProbePlugin probe;
    const auto header = proc_address<WinampVisGetHeaderFunction>(
        GetModuleHandleA(ProbePlugin::path().c_str()), "winampVisGetHeader");
    ASSERT_NE(header, nullptr);
    std::thread other(fault_in_probe_header, std::ref(probe.control()), header);
    other.join();
    fault_in_probe_header(probe.control(), header);
}

}  // namespace
