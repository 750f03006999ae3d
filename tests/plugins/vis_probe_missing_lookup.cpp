// A minimal Winamp plug-in that, while it loads, looks for a module that is not there and
// so leaves 126 as the last error of a load that succeeds (Wine does the same inside the
// load of plug-ins that import winmm). Its loads are counted in vis_probe_helper.
#include "runtime/winamp_vis.h"

#include <windows.h>

extern "C" __declspec(dllimport) void __cdecl probe_helper_count_attach();

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
    g_module.description = "vis_probe_missing_lookup";
    g_module.frame_delay = 10;
    g_module.init_entry = stay;
    g_module.render_entry = stay;
    return &g_module;
}

WinampVisHeader g_header = {0x101, "vis_probe_missing_lookup", module_by_index};

}  // namespace

extern "C" __declspec(dllexport) WinampVisHeader* __cdecl winampVisGetHeader(HWND)
{
    return &g_header;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        probe_helper_count_attach();
        LoadLibraryA("vis_probe_not_anywhere.dll");
    }
    return TRUE;
}
