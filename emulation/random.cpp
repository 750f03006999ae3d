#include "emulation/random.h"

#include "emulation/park_miller.h"
#include "host/wrapper_state.h"

int32_t __cdecl minimal_standard_random()
{
    // A plug-in may draw from its own threads too; a plain load and store would let two
    // of them get the same value and lose a step.
    int32_t current = g_state.rand_state.load();
    int32_t next;
    do {
        next = park_miller_next(current);
    } while (!g_state.rand_state.compare_exchange_weak(current, next));
    return next;
}
