// QueryPerformanceCounter readings: the one clock every benchmark figure is measured on.
#pragma once

#include <windows.h>

#include <cstdint>

inline int64_t qpc_now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Nanoseconds from counter ticks.
double qpc_to_ns(int64_t ticks);

// Counter ticks from milliseconds.
int64_t qpc_from_ms(double ms);
