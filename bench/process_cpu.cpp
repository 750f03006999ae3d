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

double thread_cpu_seconds(DWORD thread_id)
{
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, thread_id);
    if (!thread)
        return -1;
    FILETIME created, ended, kernel, user;
    const bool read = GetThreadTimes(thread, &created, &ended, &kernel, &user);
    CloseHandle(thread);
    return read ? seconds_of(kernel) + seconds_of(user) : -1;
}
