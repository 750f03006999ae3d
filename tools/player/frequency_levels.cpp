#include "tools/player/frequency_levels.h"

#include <cmath>
#include <utility>

namespace {

const double kPi = std::acos(-1.0);

}  // namespace

void fft(std::vector<std::complex<double>>& values)
{
    const size_t n = values.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(values[i], values[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const double angle = -2.0 * kPi / static_cast<double>(length);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> twiddle(1.0, 0.0);
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = values[start + k];
                const std::complex<double> odd = values[start + k + length / 2] * twiddle;
                values[start + k] = even + odd;
                values[start + k + length / 2] = even - odd;
                twiddle *= step;
            }
        }
    }
}

void spectrum_levels(const int16_t* samples, int stride, uint8_t* levels)
{
    std::vector<std::complex<double>> values(kSpectrumWindow);
    for (int i = 0; i < kSpectrumWindow; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * kPi * i / kSpectrumWindow);
        values[i] = hann * samples[i * stride] / 32768.0;
    }
    fft(values);
    // A unit sine on a bin under a Hann window has magnitude window / 4 there.
    const double full_scale = kSpectrumWindow / 4.0;
    for (int bin = 0; bin < kSpectrumBins; ++bin) {
        const double magnitude = std::abs(values[bin]) / full_scale;
        const double decibels = magnitude > 0.0 ? 20.0 * std::log10(magnitude) : -1000.0;
        const double level = (decibels + kSpectrumRangeDb) * 255.0 / kSpectrumRangeDb;
        levels[bin] = static_cast<uint8_t>(std::lround(level < 0.0 ? 0.0 : level > 255.0 ? 255.0 : level));
    }
}
