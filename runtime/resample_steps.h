// The two steps of the resampling as per-point tables made at compile time, shared by the
// processor-specific ways of working them.
#pragma once

#include "runtime/audio_resample.h"

#include <cstdint>

namespace resample_steps {

// Each point i reads the samples k and k + 1 and weighs them 1 - f and f, where
// k + f = i * step. The step is a single-precision number below 1, mantissa / 2^shift, so
// f = weight / 2^shift is exact and the interpolated value is the integer
// N = a * (2^shift - weight) + b * weight over 2^shift.
//
// Rounding N / 2^shift to single precision and truncating it gives floor(N / 2^shift) + 1
// exactly when the rounding carries into the next integer: when the fraction lies within
// half a unit in the last place below it (a tie goes up too, as the integer's mantissa is
// even). For r = floor(N / 2^shift) >= 1 that half unit is 2^(e - 24) with e the position
// of r's top bit; below 1 it is 2^-25. In units of 2^-shift, with shift 24 or 25, it is
// the top bit of y = (2r + 1) * 2^(shift - 25). With x = 2^shift - 1 - (N mod 2^shift),
// the result rounds up when x < 2^top(y): when x < y and x lacks y's top bit, x < (x ^ y).
constexpr unsigned kHalfShift = 12;
constexpr uint32_t kHalfMask = (1u << kHalfShift) - 1;

// Per point: the sample index k, and the two weights split at bit 12 so that both halves
// of a * u + b * w come out of 16-bit multiply-adds: N = X * 2^12 + Y with
// X = a * (u >> 12) + b * (w >> 12), Y = a * (u & 0xFFF) + b * (w & 0xFFF).
// Points come in blocks of eight, each reading its pairs at small offsets from the block's
// first sample: j - 1 or j for a step just below 1 (at most one sample is used twice in a
// block), 0 to 3 for a step below 3/8.
constexpr int kBlocks = kModulePointCount / 8;

struct StepTables {
    unsigned shift;
    uint16_t sample[kModulePointCount];
    alignas(32) int16_t high[2 * kModulePointCount]; // u >> 12, w >> 12 for each point
    alignas(32) int16_t low[2 * kModulePointCount];  // u & 0xFFF, w & 0xFFF
    // Whether some point of the block rounds up to the next integer for some pair of
    // samples; the others' results are floor(N / 2^shift) alone.
    bool may_round[kBlocks];
    // Each point's pair as an offset from the block's first sample.
    uint8_t offset[kModulePointCount];
    bool spread;  // every offset within 0 to 3
    bool repeats; // every offset j or j - 1
};

constexpr StepTables tables_for_step(uint32_t bits)
{
    StepTables tables{};
    const uint64_t mantissa = (bits & 0x7FFFFFu) | 0x800000u;
    tables.shift = 150u - ((bits >> 23) & 0xFFu);
    const int64_t unit = int64_t{1} << tables.shift;
    // The half unit is at most that of values from 128 up.
    const int64_t largest_half_unit = int64_t{1} << (tables.shift - 17);
    tables.spread = true;
    tables.repeats = true;
    for (int i = 0; i < kModulePointCount; ++i) {
        // i * step, exact: the product stays far below 2^53.
        const uint64_t position = static_cast<uint64_t>(i) * mantissa;
        const uint32_t weight = static_cast<uint32_t>(position & (unit - 1));
        const uint32_t complement = static_cast<uint32_t>(unit) - weight;
        tables.sample[i] = static_cast<uint16_t>(position >> tables.shift);
        tables.high[2 * i] = static_cast<int16_t>(complement >> kHalfShift);
        tables.high[2 * i + 1] = static_cast<int16_t>(weight >> kHalfShift);
        tables.low[2 * i] = static_cast<int16_t>(complement & kHalfMask);
        tables.low[2 * i + 1] = static_cast<int16_t>(weight & kHalfMask);

        const int offset = tables.sample[i] - tables.sample[i - i % 8];
        tables.offset[i] = static_cast<uint8_t>(offset);
        tables.spread = tables.spread && offset <= 3;
        tables.repeats = tables.repeats && (offset == i % 8 || offset == i % 8 - 1);

        // The fraction of N depends on b - a alone.
        for (int64_t difference = -255; difference <= 255; ++difference) {
            const int64_t fraction = ((difference * weight) % unit + unit) % unit;
            if (fraction >= unit - largest_half_unit)
                tables.may_round[i / 8] = true;
        }
    }
    return tables;
}

constexpr StepTables kWaveform = tables_for_step(0x3F63818Fu); // nearest float to 511 / 575
constexpr StepTables kSpectrum = tables_for_step(0x3EB21643u); // nearest float to 200 / 575

// Shifts of 24 and 25 keep the weight halves within 16-bit multiply-adds (at most 2^13)
// and x within 32 bits.
static_assert(kWaveform.shift == 24 && kSpectrum.shift == 25, "step binades");
static_assert(kWaveform.repeats && kSpectrum.spread, "pairs found within a block");
static_assert(kWaveform.sample[kModulePointCount - 1] == kWaveformInputLength - 1, "reach");
static_assert(kSpectrum.sample[kModulePointCount - 1] == 200, "reach");
static_assert(kModulePointCount % 8 == 0, "points come in blocks of eight");

} // namespace resample_steps

// The ways of working the tables; rows are 0 to 2, as resample_audio has made them.
void resample_rows_sse2(const uint8_t* waveform, const uint8_t* spectrum, int waveform_rows,
                        int spectrum_rows, uint8_t* waveform_out, uint8_t* spectrum_out);
void resample_rows_avx2(const uint8_t* waveform, const uint8_t* spectrum, int waveform_rows,
                        int spectrum_rows, uint8_t* waveform_out, uint8_t* spectrum_out);
