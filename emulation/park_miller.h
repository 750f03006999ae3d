// The Park-Miller "minimal standard" generator that the emulated Winamp hands to plug-ins.
#pragma once

#include <cstdint>

// One step: (16807 * state) mod (2^31 - 1) for states 1 to 2^31 - 2, in 32-bit arithmetic
// without division. States 0 and 2^31 - 1 map to themselves.
int32_t park_miller_next(int32_t state);
