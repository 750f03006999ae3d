#include "runtime/audio_resample.h"

namespace {

// A positive single-precision step below 1, held as mantissa / 2^shift. Every product
// i * step is then the integer i * mantissa over the same power of two, so position, weight
// and interpolated value are all exact integers and nothing depends on how the compiler
// treats floating-point intermediates.
struct Step {
    uint64_t mantissa;
    unsigned shift;
};

constexpr Step step_from_bits(uint32_t bits)
{
    return {(bits & 0x7FFFFFu) | 0x800000u, 150u - ((bits >> 23) & 0xFFu)};
}

constexpr Step kWaveformStep = step_from_bits(0x3F63818Fu); // nearest float to 511 / 575
constexpr Step kSpectrumStep = step_from_bits(0x3EB21643u); // nearest float to 200 / 575

// The largest product, 575 * mantissa, stays far below 2^53: the step times i is exact in
// double precision, which is what the integer form reproduces.
static_assert(575 * ((uint64_t{1} << 24) - 1) < (uint64_t{1} << 53), "i * step exact");

// value = numerator / 2^shift, numerator below 2^33. Rounds the value to single precision
// (nearest, ties to even) and truncates it. Scaling by 2^-shift is exact, so rounding the
// numerator to 24 significant bits is the same rounding.
uint32_t round_to_float_and_truncate(uint64_t numerator, unsigned shift)
{
    if (numerator < (uint64_t{1} << 24))
        return static_cast<uint32_t>(numerator >> shift);
    const unsigned dropped = 40u - static_cast<unsigned>(__builtin_clzll(numerator));
    const uint64_t unit = uint64_t{1} << dropped;
    const uint64_t half = unit >> 1;
    const uint64_t rest = numerator & (unit - 1);
    numerator -= rest;
    if (rest > half || (rest == half && (numerator & unit) != 0))
        numerator += unit;
    return static_cast<uint32_t>(numerator >> shift);
}

// bias 0x80 turns signed samples into 0..255 and back (s + 128 and t - 128 in one XOR).
void resample_row(const uint8_t* row, unsigned last, uint8_t bias, Step step, uint8_t* out)
{
    const uint64_t fraction_mask = (uint64_t{1} << step.shift) - 1;
    uint64_t position = 0;
    for (int i = 0; i < kModulePointCount; ++i, position += step.mantissa) {
        const unsigned k = static_cast<unsigned>(position >> step.shift);
        const uint64_t weight = position & fraction_mask;
        // Only the waveform's last point asks for one sample past the row (weight below
        // 3e-6); that sample is taken to be the row's last one, so nothing past the staging
        // copy is read and a constant row stays constant.
        const unsigned next = k < last ? k + 1 : last;
        const int64_t a = row[k] ^ bias;
        const int64_t b = row[next] ^ bias;
        // a * (1 - f) + b * f with f = weight / 2^shift, never negative.
        const int64_t numerator =
            a * (int64_t{1} << step.shift) + (b - a) * static_cast<int64_t>(weight);
        const uint32_t value =
            round_to_float_and_truncate(static_cast<uint64_t>(numerator), step.shift);
        out[i] = static_cast<uint8_t>(value ^ bias);
    }
}

int rows_to_fill(int32_t channels)
{
    return channels < 0 ? 0 : channels > 2 ? 2 : channels;
}

} // namespace

void resample_audio(const uint8_t waveform[2 * kWaveformInputLength],
                    const uint8_t spectrum[2 * kSpectrumInputLength], int32_t waveform_channels,
                    int32_t spectrum_channels, uint8_t waveform_out[2 * kModulePointCount],
                    uint8_t spectrum_out[2 * kModulePointCount])
{
    for (int c = 0; c < rows_to_fill(waveform_channels); ++c)
        resample_row(waveform + c * kWaveformInputLength, kWaveformInputLength - 1, 0x80,
                     kWaveformStep, waveform_out + c * kModulePointCount);
    for (int c = 0; c < rows_to_fill(spectrum_channels); ++c)
        resample_row(spectrum + c * kSpectrumInputLength, kSpectrumInputLength - 1, 0,
                     kSpectrumStep, spectrum_out + c * kModulePointCount);
}
