// What the process holds, for tests that prove a run leaves nothing behind.
#pragma once

#include <windows.h>

#include <string>

struct ProcessResources {
    DWORD handles = 0;
    DWORD user_objects = 0;  // GetGuiResources; Wine answers 0 for both kinds
    DWORD gdi_objects = 0;
    SIZE_T private_bytes = 0;  // committed private memory
    int threads = 0;
    int windows = 0;  // top-level windows of the process, hidden ones included
};

ProcessResources measure_process_resources();

// Whether a window of that class belongs to this process: FindWindowA would see the
// windows of every process in the prefix.
bool own_window_exists(const char* class_name);

// "handles 31 -> 33 (+2), ..." for a failure message or a report.
std::string describe_growth(const ProcessResources& before, const ProcessResources& after);
