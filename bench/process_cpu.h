// CPU time of the whole process, kernel and user, from GetProcessTimes.
#pragma once

// Seconds of CPU the process has used so far; a negative value when the call failed.
double process_cpu_seconds();
