// The sample rate a Winamp module is told: the player's rate scaled by 512/576, the ratio
// of the player's frame to the module's.
#pragma once

#include <cstdint>

// Signed 32-bit arithmetic: the product wraps as the machine's does and the quotient is
// truncated toward zero (44100 -> 39200, 48000 -> 42666).
int32_t module_sample_rate(int32_t sample_rate_hz);
