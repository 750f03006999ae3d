// A Winamp plug-in that is complete but refuses to be loaded: its DllMain fails, so
// LoadLibrary gives no module (ERROR_DLL_INIT_FAILED) although the file is a sound DLL.
#include "runtime/winamp_vis.h"

namespace {

WinampVisHeader g_header = {0x101, "vis_probe_dllmain_fails", nullptr};

}  // namespace

extern "C" __declspec(dllexport) WinampVisHeader* __cdecl winampVisGetHeader(HWND)
{
    return &g_header;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
}
