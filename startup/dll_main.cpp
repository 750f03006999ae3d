#include <windows.h>

// The library needs nothing beyond its static initialisers, which the runtime's own
// entry runs before this one.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
