// What the running Winamp module asks for, read from its own records for the summary.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct ModuleInfo {
    bool found = false;
    std::string plugin_description;
    std::string module_description;
    int32_t frame_delay_ms = 0;
};

// Looks only at a plug-in DLL that is already loaded in this process (the wrapper's
// copy): its header function hands out the same static records the wrapper runs.
ModuleInfo read_module_info(const std::string& plugin_path, int32_t module_index, HWND parent);
