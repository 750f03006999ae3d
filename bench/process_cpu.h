// CPU time, kernel and user: of the whole process (GetProcessTimes) or one of its threads
// (GetThreadTimes).
#pragma once

#include <windows.h>

// Seconds of CPU used so far; a negative value when the call failed.
double process_cpu_seconds();
double thread_cpu_seconds(DWORD thread_id);
