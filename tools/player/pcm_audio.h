// Decoded audio the player plays: 16-bit samples, two channels interleaved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kPlayerChannels = 2;

struct PcmAudio {
    int32_t sample_rate = 0;
    // Left, right, left, right...; a mono source is duplicated into both channels.
    std::vector<int16_t> samples;

    size_t frame_count() const { return samples.size() / kPlayerChannels; }
};
