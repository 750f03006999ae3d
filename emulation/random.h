// The random-number function that the emulated Winamp hands to plug-ins (message 3015).
#pragma once

#include <cstdint>

// Advances rand_state by one Park-Miller step and returns the new state. Safe to call
// from several threads at once: every caller gets a step of its own.
int32_t __cdecl minimal_standard_random();
