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

// Whether the system still lists the window, top-level or child. IsWindow may answer from
// the calling process's own cache: under Wine a window whose thread was ended by force stays
// a window there, although the system destroyed it with the thread.
bool window_is_listed(HWND window);

// "handles 31 -> 33 (+2), ..." for a failure message or a report.
std::string describe_growth(const ProcessResources& before, const ProcessResources& after);
