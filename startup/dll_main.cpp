#include "runtime/plugin_threads.h"

#include <windows.h>

// Beyond its static initialisers, which the runtime's own entry runs before this one, the
// library notes the threads that begin while a plug-in is loaded, and takes its filter
// away when it is unloaded itself (not at the process's end, when nothing runs on).
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_THREAD_ATTACH)
        note_thread_begins();
    else if (reason == DLL_PROCESS_DETACH && !reserved)
        forget_plugin_threads_at_unload();
    return TRUE;
}
