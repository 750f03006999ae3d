// Linear resampling of one frame of the player's audio (512 waveform samples and 256
// spectrum values per channel) to the 576 points per channel that a Winamp module reads.
#pragma once

#include <cstdint>

constexpr int kWaveformInputLength = 512;
constexpr int kSpectrumInputLength = 256;
constexpr int kModulePointCount = 576;

// waveform: 2 rows of 512 signed 8-bit samples stored as bytes, the first channel first.
// spectrum: 2 rows of 256 unsigned values, the first channel first.
// Fills rows 0 .. min(channels, 2) - 1 of each output (2 rows of 576 bytes, waveform rows as
// signed bytes); a count of 0 or less fills no row, and rows not filled are left as they are.
// Results are bit-exact: each point is the exact interpolation rounded once to single
// precision and then truncated. The arithmetic is integer only (SSE2 or AVX2), so the result does
// not depend on the floating-point control state of the calling thread. Done the widest way
// the processor and the system run.
void resample_audio(const uint8_t waveform[2 * kWaveformInputLength],
                    const uint8_t spectrum[2 * kSpectrumInputLength], int32_t waveform_channels,
                    int32_t spectrum_channels, uint8_t waveform_out[2 * kModulePointCount],
                    uint8_t spectrum_out[2 * kModulePointCount]);

// The ways the processor may do it, with the same results; the tests check each.
enum class ResamplePath { sse2, avx2 };
bool processor_runs(ResamplePath path);
void resample_audio_on(ResamplePath path, const uint8_t waveform[2 * kWaveformInputLength],
                       const uint8_t spectrum[2 * kSpectrumInputLength], int32_t waveform_channels,
                       int32_t spectrum_channels, uint8_t waveform_out[2 * kModulePointCount],
                       uint8_t spectrum_out[2 * kModulePointCount]);
