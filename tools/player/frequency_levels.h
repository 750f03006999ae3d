// The player's spectrum analyser: a radix-2 FFT and the 0..255 level scale of the
// spectrum bytes handed to the wrapper.
#pragma once

#include <complex>
#include <cstdint>
#include <vector>

constexpr int kSpectrumWindow = 512;
constexpr int kSpectrumBins = kSpectrumWindow / 2;
// Levels span this many decibels below a full-scale sine; quieter bins read 0.
constexpr double kSpectrumRangeDb = 60.0;

// In-place forward transform (no scaling); the size must be a power of two.
void fft(std::vector<std::complex<double>>& values);

// 256 levels for 512 samples (full scale 32768) under a Hann window. Bin k holds the
// frequency k * sample_rate / 512. A full-scale sine centred on a bin reads 255 there,
// every 10 dB less reads 42.5 lower.
void spectrum_levels(const int16_t* samples, int stride, uint8_t* levels);
