// The audio record handed to the wrapper's Render every frame.
#pragma once

#include "tools/player/pcm_audio.h"

#include <cstddef>
#include <cstdint>

constexpr int kWaveformSamples = 512;

struct HostVisualData {
    uint8_t unused[8];
    uint8_t spectrum[kPlayerChannels][256];
    int8_t waveform[kPlayerChannels][kWaveformSamples];
};
static_assert(offsetof(HostVisualData, spectrum) == 8, "record layout");
static_assert(offsetof(HostVisualData, waveform) == 520, "record layout");
static_assert(sizeof(HostVisualData) == 1544, "record size");

// The frame index playback has reached after elapsed_ms, looping over the audio.
size_t playback_frame(const PcmAudio& audio, int64_t elapsed_ms);

// The waveform (the top 8 bits of each sample) and the spectrum of the 512 frames that
// start at first_frame, wrapping round the end of the audio.
void fill_visual_data(const PcmAudio& audio, size_t first_frame, HostVisualData& record);
