#include "tools/player/visual_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

PcmAudio stereo(const std::vector<int16_t>& left, const std::vector<int16_t>& right)
{
    PcmAudio audio;
    audio.sample_rate = 44100;
    for (size_t i = 0; i < left.size(); ++i) {
        audio.samples.push_back(left[i]);
        audio.samples.push_back(right[i]);
    }
    return audio;
}

TEST(VisualData, WaveformIsTheTopEightBitsOfEachSample)
{
    std::vector<int16_t> left(kWaveformSamples, 0);
    std::vector<int16_t> right(kWaveformSamples, 0);
    const int16_t samples[] = {-32768, 32767, 256, 255, -1, -256, -257};
    const int8_t expected[] = {-128, 127, 1, 0, -1, -1, -2};
    std::copy(std::begin(samples), std::end(samples), left.begin());
    right[0] = 12800;
    HostVisualData record;
    fill_visual_data(stereo(left, right), 0, record);
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(record.waveform[0][i], expected[i]) << i;
    EXPECT_EQ(record.waveform[1][0], 50);
    EXPECT_EQ(record.waveform[1][1], 0);
}

TEST(VisualData, WindowWrapsRoundTheEndOfTheAudio)
{
    std::vector<int16_t> ramp(600);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>((i % 128) * 256);
    HostVisualData record;
    fill_visual_data(stereo(ramp, ramp), 590, record);
    EXPECT_EQ(record.waveform[0][0], 590 % 128);
    EXPECT_EQ(record.waveform[0][9], 599 % 128);
    EXPECT_EQ(record.waveform[0][10], 0);
    EXPECT_EQ(record.waveform[1][511], 501 % 128);
}

TEST(VisualData, EachChannelGetsItsOwnSpectrum)
{
    std::vector<int16_t> tone(kWaveformSamples);
    for (int i = 0; i < kWaveformSamples; ++i)
        tone[i] = static_cast<int16_t>(16000 * std::sin(2.0 * std::acos(-1.0) * 1000.0 * i / 44100.0));
    HostVisualData record;
    fill_visual_data(stereo(tone, std::vector<int16_t>(kWaveformSamples, 0)), 0, record);
    const uint8_t* left = record.spectrum[0];
    EXPECT_EQ(std::max_element(left, left + 256) - left, 12);
    EXPECT_EQ(*std::max_element(record.spectrum[1], record.spectrum[1] + 256), 0);
    EXPECT_EQ(std::count(record.unused, record.unused + 8, 0), 8);
}

TEST(VisualData, PlaybackFollowsTheClockAndLoops)
{
    PcmAudio audio;
    audio.sample_rate = 1000;
    audio.samples.assign(2 * 300, 0);
    EXPECT_EQ(playback_frame(audio, -5), 0u);
    EXPECT_EQ(playback_frame(audio, 0), 0u);
    EXPECT_EQ(playback_frame(audio, 299), 299u);
    EXPECT_EQ(playback_frame(audio, 300), 0u);
    EXPECT_EQ(playback_frame(audio, 1234), 34u);
    EXPECT_EQ(playback_frame(PcmAudio{}, 1234), 0u);
}

}  // namespace
