// A minimal Winamp plug-in whose only peculiarity is an import of vis_probe_helper.dll,
// which lies in the build folder and not in this DLL's own folder.
#include "tests/plugins/minimal_plugin.h"

extern "C" __declspec(dllimport) int __cdecl probe_helper_value();

extern "C" __declspec(dllexport) WinampVisHeader* __cdecl winampVisGetHeader(HWND)
{
    return minimal_plugin_header("vis_probe_dep", probe_helper_value());
}
