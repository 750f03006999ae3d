// Runs one call into a plug-in's code so that whatever it raises (a processor fault, a
// C++ exception thrown through it as a structured exception) comes back as a result
// instead of taking the player down.
#pragma once

#include <windows.h>

#include <cstdint>

// Every entry a plug-in exports or hands out takes one 32-bit value and returns one, cdecl.
using PluginCall = intptr_t(__cdecl*)(intptr_t);

struct GuardedResult {
    bool faulted = false;
    DWORD exception_code = 0;
    // The thread's last-error value when the exception was raised.
    DWORD last_error = 0;
    intptr_t value = 0;
};

GuardedResult call_guarded(PluginCall function, intptr_t argument);

// The same for any one-argument cdecl function of the plug-in's.
template <typename Result, typename Argument>
GuardedResult call_guarded(Result(__cdecl* function)(Argument), Argument argument)
{
    return call_guarded(reinterpret_cast<PluginCall>(reinterpret_cast<void*>(function)),
                        (intptr_t)(argument));
}
