// The records of a minimal Winamp plug-in, for test DLLs whose only peculiarity lies in how
// they load: one module whose init and render do nothing. Each DLL gets its own copy.
#pragma once

#include "runtime/winamp_vis.h"

namespace minimal_plugin {

inline int32_t __cdecl stay(WinampVisModule*)
{
    return 0;
}

inline WinampVisModule g_module;

inline WinampVisModule* __cdecl module_by_index(int32_t index)
{
    return index == 0 ? &g_module : nullptr;
}

inline WinampVisHeader g_header = {0x101, nullptr, module_by_index};

}  // namespace minimal_plugin

// The header to hand out, its one module named and paced as given.
inline WinampVisHeader* minimal_plugin_header(const char* name, int32_t frame_delay)
{
    using namespace minimal_plugin;
    g_module.description = name;
    g_module.frame_delay = frame_delay;
    g_module.init_entry = stay;
    g_module.render_entry = stay;
    g_header.description = name;
    return &g_header;
}
