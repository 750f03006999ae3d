// A minimal Winamp plug-in that, while it loads, looks for a module that is not there and
// so leaves 126 as the last error of a load that succeeds (Wine does the same inside the
// load of plug-ins that import winmm). Its loads are counted in vis_probe_helper.
#include "tests/plugins/minimal_plugin.h"

#include <windows.h>

extern "C" __declspec(dllimport) void __cdecl probe_helper_count_attach();

extern "C" __declspec(dllexport) WinampVisHeader* __cdecl winampVisGetHeader(HWND)
{
    return minimal_plugin_header("vis_probe_missing_lookup", 10);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        probe_helper_count_attach();
        LoadLibraryA("vis_probe_not_anywhere.dll");
    }
    return TRUE;
}
