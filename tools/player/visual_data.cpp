#include "tools/player/visual_data.h"

#include "tools/player/frequency_levels.h"

#include <cstring>

size_t playback_frame(const PcmAudio& audio, int64_t elapsed_ms)
{
    const size_t frames = audio.frame_count();
    if (frames == 0 || elapsed_ms <= 0)
        return 0;
    const int64_t reached = elapsed_ms * audio.sample_rate / 1000;
    return static_cast<size_t>(reached % static_cast<int64_t>(frames));
}

void fill_visual_data(const PcmAudio& audio, size_t first_frame, HostVisualData& record)
{
    memset(&record, 0, sizeof record);
    const size_t frames = audio.frame_count();
    if (frames == 0)
        return;
    int16_t window[kWaveformSamples * kPlayerChannels];
    for (int i = 0; i < kWaveformSamples; ++i) {
        const size_t frame = (first_frame + i) % frames;
        for (int channel = 0; channel < kPlayerChannels; ++channel)
            window[i * kPlayerChannels + channel] = audio.samples[frame * kPlayerChannels + channel];
    }
    for (int channel = 0; channel < kPlayerChannels; ++channel) {
        for (int i = 0; i < kWaveformSamples; ++i)
            record.waveform[channel][i] =
                static_cast<int8_t>(window[i * kPlayerChannels + channel] >> 8);
        spectrum_levels(window + channel, kPlayerChannels, record.spectrum[channel]);
    }
}
