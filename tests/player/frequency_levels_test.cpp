#include "tools/player/frequency_levels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const double kPi = std::acos(-1.0);

std::vector<int16_t> sine(double frequency, double amplitude, int sample_rate = 44100)
{
    std::vector<int16_t> samples(kSpectrumWindow);
    for (int i = 0; i < kSpectrumWindow; ++i)
        samples[i] = static_cast<int16_t>(
            std::lround(amplitude * 32767.0 * std::sin(2.0 * kPi * frequency * i / sample_rate)));
    return samples;
}

std::vector<uint8_t> levels_of(const std::vector<int16_t>& samples, int stride = 1)
{
    std::vector<uint8_t> levels(kSpectrumBins);
    spectrum_levels(samples.data(), stride, levels.data());
    return levels;
}

int peak_bin(const std::vector<uint8_t>& levels)
{
    return static_cast<int>(std::max_element(levels.begin(), levels.end()) - levels.begin());
}

TEST(Spectrum, FftAgreesWithTheDirectTransform)
{
    std::vector<std::complex<double>> values(64);
    uint32_t state = 12345;
    for (auto& value : values) {
        state = state * 1103515245u + 12345u;
        value = {static_cast<double>(state >> 16) / 65536.0 - 0.5, static_cast<double>(state & 0xFF) / 256.0};
    }
    const std::vector<std::complex<double>> input = values;
    fft(values);
    for (size_t k = 0; k < input.size(); ++k) {
        std::complex<double> direct = 0.0;
        for (size_t n = 0; n < input.size(); ++n)
            direct += input[n] * std::polar(1.0, -2.0 * kPi * static_cast<double>(k * n) / 64.0);
        EXPECT_NEAR(values[k].real(), direct.real(), 1e-9) << k;
        EXPECT_NEAR(values[k].imag(), direct.imag(), 1e-9) << k;
    }
}

TEST(Spectrum, OneKilohertzPeaksInItsBin)
{
    // 1000 Hz * 512 / 44100 = 11.6: bin 12 is the nearest.
    EXPECT_EQ(peak_bin(levels_of(sine(1000.0, 0.5))), 12);
    // At 22050 Hz the bins are twice as wide: 23.2 rounds to 23.
    EXPECT_EQ(peak_bin(levels_of(sine(1000.0, 0.5, 22050))), 23);
}

TEST(Spectrum, FullScaleToneOnABinReadsTopLevelAndFarBinsReadNothing)
{
    const double bin_40 = 40.0 * 44100.0 / kSpectrumWindow;
    const std::vector<uint8_t> levels = levels_of(sine(bin_40, 1.0));
    EXPECT_GE(levels[40], 254);
    for (int bin = 0; bin < kSpectrumBins; ++bin) {
        if (std::abs(bin - 40) >= 10) {
            EXPECT_LE(levels[bin], 5) << bin;
        }
    }
}

TEST(Spectrum, TwentyDecibelsQuieterReadsEightyFiveLevelsLower)
{
    const double bin_40 = 40.0 * 44100.0 / kSpectrumWindow;
    const int loud = levels_of(sine(bin_40, 1.0))[40];
    const int quiet = levels_of(sine(bin_40, 0.1))[40];
    EXPECT_NEAR(loud - quiet, 85, 2);
}

TEST(Spectrum, SilenceReadsZeroEverywhere)
{
    const std::vector<uint8_t> levels = levels_of(std::vector<int16_t>(kSpectrumWindow, 0));
    EXPECT_EQ(*std::max_element(levels.begin(), levels.end()), 0);
}

TEST(Spectrum, StrideReadsOneChannelOfInterleavedSamples)
{
    const std::vector<int16_t> low = sine(1000.0, 0.5);
    const std::vector<int16_t> high = sine(5000.0, 0.5);
    std::vector<int16_t> interleaved;
    for (int i = 0; i < kSpectrumWindow; ++i) {
        interleaved.push_back(low[i]);
        interleaved.push_back(high[i]);
    }
    std::vector<uint8_t> left(kSpectrumBins);
    std::vector<uint8_t> right(kSpectrumBins);
    spectrum_levels(interleaved.data(), 2, left.data());
    spectrum_levels(interleaved.data() + 1, 2, right.data());
    EXPECT_EQ(peak_bin(left), 12);
    EXPECT_EQ(peak_bin(right), 58);  // 5000 * 512 / 44100 = 58.05
}

}  // namespace
