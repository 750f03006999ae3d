// The resampling with SSE2, which every processor that runs a Windows of today has. Only
// integer instructions are used, so nothing depends on the MXCSR or x87 control state a
// plug-in may leave behind on the render thread.
#include "runtime/resample_steps.h"

#include <utility>

#include <emmintrin.h>

#pragma GCC push_options
#pragma GCC target("sse2")

namespace {

using namespace resample_steps;

// Blocks of one kind share their offsets and whether they round, so that one loop works
// them with its shuffle and its rounding as constants. The blocks of kind c are
// order[start[c]] to order[start[c + 1] - 1], model[c] one of them.
struct Kinds {
    int count;
    uint8_t model[kBlocks];
    uint8_t start[kBlocks + 1];
    uint8_t order[kBlocks];
};

constexpr bool same_kind(const StepTables& tables, int b, int other)
{
    for (int j = 0; j < 8; ++j)
        if (tables.offset[8 * b + j] != tables.offset[8 * other + j])
            return false;
    return tables.may_round[b] == tables.may_round[other];
}

constexpr Kinds kinds_of(const StepTables& tables)
{
    Kinds kinds{};
    for (int b = 0; b < kBlocks; ++b) {
        int kind = 0;
        while (kind < kinds.count && !same_kind(tables, b, kinds.model[kind]))
            ++kind;
        if (kind == kinds.count)
            kinds.model[kinds.count++] = static_cast<uint8_t>(b);
    }
    int next = 0;
    for (int kind = 0; kind < kinds.count; ++kind) {
        kinds.start[kind] = static_cast<uint8_t>(next);
        for (int b = 0; b < kBlocks; ++b)
            if (same_kind(tables, b, kinds.model[kind]))
                kinds.order[next++] = static_cast<uint8_t>(b);
    }
    kinds.start[kinds.count] = static_cast<uint8_t>(next);
    return kinds;
}

constexpr Kinds kWaveformKinds = kinds_of(kWaveform);
constexpr Kinds kSpectrumKinds = kinds_of(kSpectrum);

// Inlined into the loop of each kind, so that the vectors stay in registers: on i686 a call
// would pass them through memory.
#define ZEKO_INLINE inline __attribute__((always_inline))

// The two multiply-adds of four points, 32-bit lanes: N = high * 2^12 + low.
struct FourSums {
    __m128i high, low;
};

ZEKO_INLINE FourSums four_sums(__m128i pairs, const int16_t* high, const int16_t* low)
{
    return {_mm_madd_epi16(pairs, _mm_load_si128(reinterpret_cast<const __m128i*>(high))),
            _mm_madd_epi16(pairs, _mm_load_si128(reinterpret_cast<const __m128i*>(low)))};
}

// The low 32 bits of N.
ZEKO_INLINE __m128i low_word(FourSums sums)
{
    return _mm_add_epi32(_mm_slli_epi32(sums.high, kHalfShift), sums.low);
}

template <unsigned shift>
ZEKO_INLINE __m128i four_floors(FourSums sums)
{
    if constexpr (shift == 24) // N < 2^32
        return _mm_srli_epi32(low_word(sums), shift);
    return _mm_srli_epi32(_mm_add_epi32(sums.high, _mm_srli_epi32(sums.low, kHalfShift)),
                          shift - kHalfShift);
}

// Eight results as 16-bit lanes, for points that never round up: floor(N / 2^shift).
template <unsigned shift>
ZEKO_INLINE __m128i eight_floors(FourSums first, FourSums second)
{
    return _mm_packs_epi32(four_floors<shift>(first), four_floors<shift>(second));
}

template <unsigned shift>
ZEKO_INLINE __m128i four_distances(FourSums sums)
{
    return _mm_andnot_si128(low_word(sums), _mm_set1_epi32((1 << shift) - 1));
}

// Eight results as 16-bit lanes with the rounding; x saturates at 16 bits, far above any
// half unit.
template <unsigned shift>
ZEKO_INLINE __m128i eight_rounded(FourSums first, FourSums second)
{
    const __m128i r = eight_floors<shift>(first, second);
    const __m128i x = _mm_packs_epi32(four_distances<shift>(first), four_distances<shift>(second));
    __m128i y = r;
    if constexpr (shift == 25)
        y = _mm_or_si128(_mm_add_epi16(r, r), _mm_set1_epi16(1));
    const __m128i up = _mm_and_si128(_mm_cmpgt_epi16(y, x), _mm_cmpgt_epi16(_mm_xor_si128(x, y), x));
    return _mm_sub_epi16(r, up);
}

constexpr int shuffle_of(const uint8_t* offset)
{
    return offset[0] | offset[1] << 2 | offset[2] << 4 | offset[3] << 6;
}

// Lane m: the pair of samples m and m + 1 after first. At the row's end the sample past
// it is taken to be the row's last one: first + 7 is then the last sample, and no byte
// past the row is read.
template <bool at_row_end>
ZEKO_INLINE __m128i sample_runs(const uint8_t* first)
{
    const __m128i samples = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(first));
    if constexpr (at_row_end) {
        const __m128i last = _mm_and_si128(samples, _mm_set_epi32(0, 0, static_cast<int>(0xFF000000u), 0));
        return _mm_unpacklo_epi8(samples, _mm_or_si128(_mm_srli_epi64(samples, 8), last));
    }
    return _mm_unpacklo_epi8(samples, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(first + 1)));
}

// The pairs of a block's points, in the order a0 b0 a1 b1 ..., from the runs at its first
// sample, with the offsets of block model.
template <const StepTables& tables, int model>
ZEKO_INLINE __m128i block_pairs(__m128i runs)
{
    constexpr const uint8_t* offset = tables.offset + 8 * model;
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

// The blocks of one kind. bias 0x80 turns signed samples into 0..255 and back (s + 128 and
// t - 128 in one XOR).
template <const StepTables& tables, const Kinds& kinds, int input_length, uint8_t bias, int kind>
ZEKO_INLINE void resample_kind(const uint8_t* row, uint8_t* out)
{
    constexpr int model = kinds.model[kind];
    constexpr bool at_row_end = tables.sample[8 * model] + 8 >= input_length;
    static_assert(!at_row_end || (model == kBlocks - 1 && kinds.start[kind + 1] == kinds.start[kind] + 1 &&
                                  tables.sample[8 * model] + 7 == input_length - 1),
                  "only the last block, a kind of its own, reaches the row's end");
    const __m128i bias_bytes = _mm_set1_epi8(static_cast<char>(bias));
    const __m128i zero = _mm_setzero_si128();
    for (int k = kinds.start[kind]; k < kinds.start[kind + 1]; ++k) {
        const int b = kinds.order[k];
        const __m128i pairs = _mm_xor_si128(
            block_pairs<tables, model>(sample_runs<at_row_end>(row + tables.sample[8 * b])), bias_bytes);
        const int16_t* high = tables.high + 16 * b;
        const int16_t* low = tables.low + 16 * b;
        const FourSums first = four_sums(_mm_unpacklo_epi8(pairs, zero), high, low);
        const FourSums second = four_sums(_mm_unpackhi_epi8(pairs, zero), high + 8, low + 8);
        __m128i points;
        if constexpr (tables.may_round[model])
            points = eight_rounded<tables.shift>(first, second);
        else
            points = eight_floors<tables.shift>(first, second);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 8 * b),
                         _mm_xor_si128(_mm_packus_epi16(points, points), bias_bytes));
    }
}

template <const StepTables& tables, const Kinds& kinds, int input_length, uint8_t bias, int... kind>
void resample_row_list(const uint8_t* input, int rows, uint8_t* output, std::integer_sequence<int, kind...>)
{
    for (int c = 0; c < rows; ++c)
        (resample_kind<tables, kinds, input_length, bias, kind>(input + c * input_length,
                                                                output + c * kModulePointCount),
         ...);
}

} // namespace

void resample_rows_sse2(const uint8_t* waveform, const uint8_t* spectrum, int waveform_rows,
                        int spectrum_rows, uint8_t* waveform_out, uint8_t* spectrum_out)
{
    resample_row_list<kWaveform, kWaveformKinds, kWaveformInputLength, 0x80>(
        waveform, waveform_rows, waveform_out, std::make_integer_sequence<int, kWaveformKinds.count>());
    // The spectrum's points read bins 0 to 201, and the loads stay within the row.
    static_assert(kSpectrum.sample[kModulePointCount - 8] + 9 <= kSpectrumInputLength, "loads");
    resample_row_list<kSpectrum, kSpectrumKinds, kSpectrumInputLength, 0>(
        spectrum, spectrum_rows, spectrum_out, std::make_integer_sequence<int, kSpectrumKinds.count>());
}

#pragma GCC pop_options
