#include "runtime/audio_resample.h"

#include <cstring>
#include <utility>

#include <emmintrin.h>

// The DLL is built for plain i686; every processor that runs a Windows of today has SSE2.
// Only its integer instructions are used, so nothing depends on the MXCSR or x87 control
// state a plug-in may leave behind on the render thread.
#pragma GCC target("sse2")

namespace {

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
// the top bit of (2r + 1) * 2^(shift - 25), and the result is (N + that) >> shift.
constexpr unsigned kHalfShift = 12;
constexpr uint32_t kHalfMask = (1u << kHalfShift) - 1;

// Per point: the sample index k, and the two weights split at bit 12 so that both halves
// of a * u + b * w come out of 16-bit multiply-adds: N = X * 2^12 + Y with
// X = a * (u >> 12) + b * (w >> 12), Y = a * (u & 0xFFF) + b * (w & 0xFFF).
// Points come in blocks of eight, and a block's pairs are found from the eight pairs that
// start at its first point's sample: at offset j - 1 or j for a step just below 1 (at most
// one sample is used twice in a block), at offsets 0 to 3 for a step below 3/8.
constexpr int kBlocks = kModulePointCount / 8;

struct StepTables {
    unsigned shift;
    uint16_t sample[kModulePointCount];
    alignas(16) int16_t high[2 * kModulePointCount];  // u >> 12, w >> 12 for each point
    alignas(16) int16_t low[2 * kModulePointCount];   // u & 0xFFF, w & 0xFFF
    // Whether some point of the block rounds up to the next integer for some pair of
    // samples; the others' results are floor(N / 2^shift) alone.
    bool may_round[kBlocks];
    // Each point's pair as an offset from the block's first sample.
    uint8_t offset[kModulePointCount];
    bool spread;    // every offset within 0 to 3
    bool repeats;   // every offset j or j - 1
    // Blocks of one kind share their offsets and whether they round; the blocks of kind
    // c are order[kind_start[c]] to order[kind_start[c + 1] - 1], kind_block[c] one of them.
    int kinds;
    uint8_t kind_block[kBlocks];
    uint8_t kind_start[kBlocks + 1];
    uint8_t order[kBlocks];
};

constexpr bool same_kind(const StepTables& tables, int b, int other)
{
    for (int j = 0; j < 8; ++j)
        if (tables.offset[8 * b + j] != tables.offset[8 * other + j])
            return false;
    return tables.may_round[b] == tables.may_round[other];
}

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
    for (int b = 0; b < kBlocks; ++b) {
        int kind = 0;
        while (kind < tables.kinds && !same_kind(tables, b, tables.kind_block[kind]))
            ++kind;
        if (kind == tables.kinds)
            tables.kind_block[tables.kinds++] = static_cast<uint8_t>(b);
    }
    int next = 0;
    for (int kind = 0; kind < tables.kinds; ++kind) {
        tables.kind_start[kind] = static_cast<uint8_t>(next);
        for (int b = 0; b < kBlocks; ++b)
            if (same_kind(tables, b, tables.kind_block[kind]))
                tables.order[next++] = static_cast<uint8_t>(b);
    }
    tables.kind_start[tables.kinds] = static_cast<uint8_t>(next);
    return tables;
}

constexpr StepTables kWaveformTables = tables_for_step(0x3F63818Fu); // nearest float to 511 / 575
constexpr StepTables kSpectrumTables = tables_for_step(0x3EB21643u); // nearest float to 200 / 575

// Shifts of 24 and 25 keep the weight halves within 16-bit multiply-adds (at most 2^13)
// and the half unit within the low 12 bits (at most 2^8).
static_assert(kWaveformTables.shift == 24 && kSpectrumTables.shift == 25, "step binades");
static_assert(kWaveformTables.repeats && kSpectrumTables.spread, "pairs found within a block");
static_assert(kWaveformTables.sample[kModulePointCount - 1] == kWaveformInputLength - 1, "reach");
static_assert(kSpectrumTables.sample[kModulePointCount - 1] == 200, "reach");
static_assert(kModulePointCount % 8 == 0, "points come in blocks of eight");

// Inlined into the loop of each kind, so that the vectors stay in registers: on i686 a call
// would pass them through memory.
#define ZEKO_INLINE inline __attribute__((always_inline))

// The sums of four points from their pairs as 16-bit lanes a0 b0 a1 b1 a2 b2 a3 b3:
// N = z * 2^12 + (bottom & 0xFFF).
struct FourSums {
    __m128i z, bottom;
};

ZEKO_INLINE FourSums four_sums(__m128i pairs, const int16_t* high, const int16_t* low)
{
    const __m128i x = _mm_madd_epi16(pairs, _mm_load_si128(reinterpret_cast<const __m128i*>(high)));
    const __m128i y = _mm_madd_epi16(pairs, _mm_load_si128(reinterpret_cast<const __m128i*>(low)));
    return {_mm_add_epi32(x, _mm_srli_epi32(y, kHalfShift)), y};
}

// Eight results as 16-bit lanes, for points that never round up: floor(N / 2^shift).
template <unsigned shift>
ZEKO_INLINE __m128i eight_floors(FourSums first, FourSums second)
{
    return _mm_packs_epi32(_mm_srli_epi32(first.z, shift - kHalfShift),
                           _mm_srli_epi32(second.z, shift - kHalfShift));
}

// Eight results as 16-bit lanes with the rounding; everything after the sums fits 16 bits.
template <unsigned shift>
ZEKO_INLINE __m128i eight_rounded(FourSums first, FourSums second)
{
    const __m128i r = eight_floors<shift>(first, second);
    // The bits of the fraction above the bottom 12.
    const __m128i middle_mask = _mm_set1_epi32((1 << (shift - kHalfShift)) - 1);
    const __m128i middle = _mm_packs_epi32(_mm_and_si128(first.z, middle_mask),
                                           _mm_and_si128(second.z, middle_mask));
    const __m128i bottom = _mm_packs_epi32(_mm_and_si128(first.bottom, _mm_set1_epi32(kHalfMask)),
                                           _mm_and_si128(second.bottom, _mm_set1_epi32(kHalfMask)));
    // Top bit of (2r + 1) * 2^(shift - 25): smear it down over the 9 bits it can have
    // and keep only the highest.
    __m128i spread = _mm_srli_epi16(_mm_or_si128(_mm_add_epi16(r, r), _mm_set1_epi16(1)), 25 - shift);
    spread = _mm_or_si128(spread, _mm_srli_epi16(spread, 1));
    spread = _mm_or_si128(spread, _mm_srli_epi16(spread, 2));
    spread = _mm_or_si128(spread, _mm_srli_epi16(spread, 4));
    const __m128i half_unit = _mm_andnot_si128(_mm_srli_epi16(spread, 1), spread);
    // The carry runs through the bottom bits, then through the middle ones into r.
    const __m128i carry = _mm_srli_epi16(_mm_add_epi16(bottom, half_unit), kHalfShift);
    return _mm_add_epi16(r, _mm_srli_epi16(_mm_add_epi16(middle, carry), shift - kHalfShift));
}

constexpr int shuffle_of(const uint8_t* offset)
{
    return offset[0] | offset[1] << 2 | offset[2] << 4 | offset[3] << 6;
}

// The pairs of block b's points, in the order a0 b0 a1 b1 ..., with the offsets of
// block model_block; row must hold eight more bytes after the block's first sample.
template <const StepTables& tables, int model_block>
ZEKO_INLINE __m128i block_pairs(const uint8_t* row, int b)
{
    const uint8_t* first = row + tables.sample[8 * b];
    // Lane m: the pair of samples m and m + 1 after the block's first.
    const __m128i runs = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(first)),
                                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(first + 1)));
    constexpr const uint8_t* offset = tables.offset + 8 * model_block;
    if constexpr (tables.spread) {
        return _mm_unpacklo_epi64(_mm_shufflelo_epi16(runs, shuffle_of(offset)),
                                  _mm_shufflelo_epi16(runs, shuffle_of(offset + 4)));
    } else {
        const auto behind = [](int j) -> short { return offset[j] == j ? 0 : -1; };
        const __m128i repeated = _mm_set_epi16(behind(7), behind(6), behind(5), behind(4),
                                               behind(3), behind(2), behind(1), behind(0));
        return _mm_or_si128(_mm_andnot_si128(repeated, runs),
                            _mm_and_si128(repeated, _mm_slli_si128(runs, 2)));
    }
}

// The blocks of one kind, each with the shuffle or mask and the rounding of its kind as
// constants. bias 0x80 turns signed samples into 0..255 and back (s + 128 and t - 128 in
// one XOR).
template <const StepTables& tables, uint8_t bias, int kind>
ZEKO_INLINE void resample_kind(const uint8_t* row, uint8_t* out)
{
    constexpr int model_block = tables.kind_block[kind];
    const __m128i bias_bytes = _mm_set1_epi8(static_cast<char>(bias));
    const __m128i zero = _mm_setzero_si128();
    for (int k = tables.kind_start[kind]; k < tables.kind_start[kind + 1]; ++k) {
        const int b = tables.order[k];
        const __m128i pairs = _mm_xor_si128(block_pairs<tables, model_block>(row, b), bias_bytes);
        const int16_t* high = tables.high + 16 * b;
        const int16_t* low = tables.low + 16 * b;
        const FourSums first = four_sums(_mm_unpacklo_epi8(pairs, zero), high, low);
        const FourSums second = four_sums(_mm_unpackhi_epi8(pairs, zero), high + 8, low + 8);
        __m128i points;
        if constexpr (tables.may_round[model_block])
            points = eight_rounded<tables.shift>(first, second);
        else
            points = eight_floors<tables.shift>(first, second);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 8 * b),
                         _mm_xor_si128(_mm_packus_epi16(points, points), bias_bytes));
    }
}

template <const StepTables& tables, uint8_t bias, int... kind>
void resample_row(const uint8_t* row, uint8_t* out, std::integer_sequence<int, kind...>)
{
    (resample_kind<tables, bias, kind>(row, out), ...);
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
    for (int c = 0; c < rows_to_fill(waveform_channels); ++c) {
        // The waveform's last point asks for one sample past the row (weight below 3e-6);
        // that sample is taken to be the row's last one, so nothing past the staging copy
        // is read and a constant row stays constant. The last block's loads reach 8 bytes
        // past its first sample.
        uint8_t row[kWaveformInputLength + 8];
        memcpy(row, waveform + c * kWaveformInputLength, kWaveformInputLength);
        memset(row + kWaveformInputLength, row[kWaveformInputLength - 1], 8);
        resample_row<kWaveformTables, 0x80>(row, waveform_out + c * kModulePointCount,
                                            std::make_integer_sequence<int, kWaveformTables.kinds>());
    }
    // The spectrum's points read bins 0 to 201, and the loads stay within the row.
    static_assert(kSpectrumTables.sample[kModulePointCount - 8] + 9 <= kSpectrumInputLength, "loads");
    for (int c = 0; c < rows_to_fill(spectrum_channels); ++c)
        resample_row<kSpectrumTables, 0>(spectrum + c * kSpectrumInputLength,
                                         spectrum_out + c * kModulePointCount,
                                         std::make_integer_sequence<int, kSpectrumTables.kinds>());
}
