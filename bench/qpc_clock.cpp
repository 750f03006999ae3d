#include "bench/qpc_clock.h"

namespace {

double counter_frequency()
{
    LARGE_INTEGER frequency;
    // Never fails on any Windows since XP; a zero would make every figure infinite, so fall
    // back to Wine's fixed 10 MHz rather than divide by it.
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0)
        return 1e7;
    return static_cast<double>(frequency.QuadPart);
}

const double g_ticks_per_second = counter_frequency();

}  // namespace

double qpc_to_ns(int64_t ticks)
{
    return static_cast<double>(ticks) * 1e9 / g_ticks_per_second;
}

int64_t qpc_from_ms(double ms)
{
    return static_cast<int64_t>(ms * g_ticks_per_second / 1e3);
}
