// A minimal Winamp plug-in whose only peculiarity is an import of vis_probe_helper.dll,
// which lies in the build folder and not in this DLL's own folder.
#include "runtime/winamp_vis.h"

extern "C" __declspec(dllimport) int __cdecl probe_helper_value();

namespace {

int32_t __cdecl stay(WinampVisModule*)
{
    return 0;
}

WinampVisModule g_module;

WinampVisModule* __cdecl module_by_index(int32_t index)
{
    if (index != 0)
        return nullptr;
    g_module.description = "vis_probe_dep";
    g_module.frame_delay = probe_helper_value();
    g_module.init_entry = stay;
    g_module.render_entry = stay;
    return &g_module;
}

WinampVisHeader g_header = {0x101, "vis_probe_dep", module_by_index};

}  // namespace

extern "C" __declspec(dllexport) WinampVisHeader* __cdecl winampVisGetHeader(HWND)
{
    return &g_header;
}
