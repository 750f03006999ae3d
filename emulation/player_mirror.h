// What the emulated Winamp windows copy from the player: its title and its sample rate.
#pragma once

#include <cstdint>

// Capacity of the title buffer, terminator included: at most 119 characters are mirrored.
constexpr int kTitleCapacity = 120;

// The text to give the emulated Winamp window for a title read into buffer: the text
// without a leading "*** " (that exact prefix only). The buffer's last character is made
// the terminator first, so the result is at most 119 characters and points into buffer.
const wchar_t* title_to_mirror(wchar_t (&buffer)[kTitleCapacity]);

// The player reports kilohertz. 45 and below are scaled by 1.002273, which maps the 11.025
// kHz family exactly (44 -> 44100); larger values are multiplied by 1000. Signed 32-bit
// arithmetic, the division truncating toward zero, overflow wrapping.
int32_t sample_rate_from_khz(int32_t khz);
