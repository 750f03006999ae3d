#include "bench/process_cpu.h"

#include <windows.h>

#include <cstdint>

namespace {

double seconds_of(const FILETIME& time)
{
    const uint64_t hundreds_of_ns =
        (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<double>(hundreds_of_ns) / 1e7;
}

}  // namespace

double process_cpu_seconds()
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user))
        return -1;
    return seconds_of(kernel) + seconds_of(user);
}
