#include "bench/sequence_code.h"

#include <cstring>

namespace {

constexpr int kCodeBytes = 4;
// Waveform: 512 samples stretched over 576 points; runs of 128 samples per byte.
constexpr int kWaveformRun = 128;
constexpr int kWaveformLast = 511;
// Spectrum: bins 0 to 200 stretched over the 576 points; runs of 50 bins per byte.
constexpr int kSpectrumRun = 50;
constexpr int kSpectrumLast = 200;
constexpr int kPointLast = 575;

// The output point whose position lies nearest the middle of run j: both interpolation
// neighbours of that point lie inside the run.
constexpr int middle_point(int run, int j, int input_last)
{
    const int middle = run * j + run / 2;
    return (middle * kPointLast + input_last / 2) / input_last;
}

uint8_t code_byte(uint32_t value, int j)
{
    return static_cast<uint8_t>(value >> (8 * j));
}

}  // namespace

void write_sequence_frame(uint32_t sequence, uint8_t frame[kFrameBytes])
{
    memset(frame, 0, kFrameBytes);
    uint8_t* spectrum = frame + kFrameSpectrumOffset;
    uint8_t* waveform = frame + kFrameWaveformOffset;
    for (int j = 0; j < kCodeBytes; ++j) {
        // Samples are signed: the byte b travels as the sample b - 128.
        memset(waveform + j * kWaveformRun, code_byte(sequence, j) ^ 0x80, kWaveformRun);
        memset(spectrum + j * kSpectrumRun, code_byte(~sequence, j), kSpectrumRun);
    }
    // Row 1: a triangle wave and a falling spectrum that move with the frame.
    for (int i = 0; i < 512; ++i) {
        const int phase = static_cast<int>((static_cast<uint32_t>(i) * 4 + sequence * 16) & 255);
        const int triangle = phase < 128 ? phase * 2 - 128 : 383 - phase * 2;
        waveform[512 + i] = static_cast<uint8_t>(static_cast<int8_t>(triangle));
    }
    for (int i = 0; i < 256; ++i)
        spectrum[256 + i] = static_cast<uint8_t>((255 - i + sequence) & 255);
}

uint32_t read_sequence(const uint8_t waveform_row[576], const uint8_t spectrum_row[576])
{
    uint32_t from_waveform = 0;
    uint32_t from_spectrum = 0;
    for (int j = 0; j < kCodeBytes; ++j) {
        from_waveform |= static_cast<uint32_t>(
                             waveform_row[middle_point(kWaveformRun, j, kWaveformLast)] ^ 0x80)
                         << (8 * j);
        from_spectrum |= static_cast<uint32_t>(
                             spectrum_row[middle_point(kSpectrumRun, j, kSpectrumLast)])
                         << (8 * j);
    }
    return from_waveform == ~from_spectrum ? from_waveform : kNoSequence;
}
