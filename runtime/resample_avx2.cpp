// The resampling with AVX2, for processors and systems that run it: sixteen points per
// step where SSE2 works eight, and each block's pairs from one byte shuffle. Integer
// instructions only, like the SSE2 way, and the same results bit for bit.
#include "runtime/resample_steps.h"

#include <cstring>

#include <immintrin.h>

// Only this file's own functions are built for AVX2; everything it includes is built
// before, for every processor.
#pragma GCC push_options
#pragma GCC target("avx2")

namespace {

using namespace resample_steps;

// Per block: the byte shuffle that turns the 16 samples from its first one into the 16-bit
// pairs (a, b) of its eight points, points 0-3 in the low lane and 4-7 in the high one.
struct Shuffles {
    alignas(32) uint8_t mask[kBlocks][32];
};

constexpr Shuffles shuffles_for(const StepTables& tables)
{
    Shuffles shuffles{};
    for (int b = 0; b < kBlocks; ++b)
        for (int j = 0; j < 8; ++j) {
            uint8_t* pair = shuffles.mask[b] + 16 * (j / 4) + 4 * (j % 4);
            pair[0] = tables.offset[8 * b + j];
            pair[1] = 0x80; // a zero byte
            pair[2] = static_cast<uint8_t>(tables.offset[8 * b + j] + 1);
            pair[3] = 0x80;
        }
    return shuffles;
}

constexpr Shuffles kWaveformShuffles = shuffles_for(kWaveform);
constexpr Shuffles kSpectrumShuffles = shuffles_for(kSpectrum);

// Points come in groups of four blocks, one 32-byte store each.
constexpr int kGroups = kBlocks / 4;
static_assert(kBlocks % 4 == 0, "blocks come in groups of four");

#define ZEKO_INLINE inline __attribute__((always_inline))

// One block's floor(N / 2^shift) and x = 2^shift - 1 - (N mod 2^shift), 32-bit lanes.
struct Block {
    __m256i r, distance;
};

// samples: the 16 bytes from the block's first sample on.
template <const StepTables& tables, const Shuffles& shuffles, uint8_t bias>
ZEKO_INLINE Block block(const uint8_t* samples, int b)
{
    constexpr unsigned shift = tables.shift;
    const __m256i bytes = _mm256_xor_si256(
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(samples))),
        _mm256_set1_epi8(static_cast<char>(bias)));
    const __m256i pairs = _mm256_shuffle_epi8(bytes, _mm256_load_si256(reinterpret_cast<const __m256i*>(shuffles.mask[b])));
    const __m256i high = _mm256_madd_epi16(pairs, _mm256_load_si256(reinterpret_cast<const __m256i*>(tables.high + 16 * b)));
    const __m256i low = _mm256_madd_epi16(pairs, _mm256_load_si256(reinterpret_cast<const __m256i*>(tables.low + 16 * b)));
    const __m256i low_word = _mm256_add_epi32(_mm256_slli_epi32(high, kHalfShift), low);
    __m256i r;
    if constexpr (shift == 24) // N < 2^32
        r = _mm256_srli_epi32(low_word, shift);
    else
        r = _mm256_srli_epi32(_mm256_add_epi32(high, _mm256_srli_epi32(low, kHalfShift)), shift - kHalfShift);
    return {r, _mm256_andnot_si256(low_word, _mm256_set1_epi32((1 << shift) - 1))};
}

// Two blocks' results with the rounding, 16-bit lanes; x saturates at 16 bits, far above
// any half unit.
template <unsigned shift>
ZEKO_INLINE __m256i rounded(Block first, Block second)
{
    const __m256i r = _mm256_packs_epi32(first.r, second.r);
    const __m256i x = _mm256_packs_epi32(first.distance, second.distance);
    __m256i y = r;
    if constexpr (shift == 25)
        y = _mm256_or_si256(_mm256_add_epi16(r, r), _mm256_set1_epi16(1));
    const __m256i up = _mm256_and_si256(_mm256_cmpgt_epi16(y, x), _mm256_cmpgt_epi16(_mm256_xor_si256(x, y), x));
    return _mm256_sub_epi16(r, up);
}

// Group g's 32 points. source holds the row's samples from sample source_start on.
// bias 0x80 turns signed samples into 0..255 and back.
template <const StepTables& tables, const Shuffles& shuffles, uint8_t bias>
ZEKO_INLINE void resample_group(const uint8_t* source, int source_start, int g, uint8_t* out)
{
    const auto at = [&](int b) { return block<tables, shuffles, bias>(source + (tables.sample[8 * b] - source_start), b); };
    const int b = 4 * g;
    const __m256i front = rounded<tables.shift>(at(b), at(b + 1));
    const __m256i back = rounded<tables.shift>(at(b + 2), at(b + 3));
    // The low lanes hold points 0-3 of each block, the high ones 4-7: put each block's
    // eight together.
    const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(front, back),
                                                      _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * g),
                        _mm256_xor_si256(bytes, _mm256_set1_epi8(static_cast<char>(bias))));
}

// The waveform's last group reads up to the sample past the row, taken to be the row's
// last one; it reads from a copy of the row's end, the others from the row itself.
constexpr int kTailStart = kWaveformInputLength - 32;
constexpr int kTailLength = 48;
static_assert(kWaveform.sample[8 * 4 * (kGroups - 1) - 8] + 16 <= kWaveformInputLength &&
                  kWaveform.sample[8 * 4 * (kGroups - 1)] >= kTailStart &&
                  kWaveform.sample[kModulePointCount - 8] + 16 <= kTailStart + kTailLength,
              "the waveform's loads stay within the row or its tail");
static_assert(kSpectrum.sample[kModulePointCount - 8] + 16 <= kSpectrumInputLength,
              "the spectrum's loads stay within the row");

} // namespace

void resample_rows_avx2(const uint8_t* waveform, const uint8_t* spectrum, int waveform_rows,
                        int spectrum_rows, uint8_t* waveform_out, uint8_t* spectrum_out)
{
    for (int c = 0; c < waveform_rows; ++c) {
        const uint8_t* row = waveform + c * kWaveformInputLength;
        uint8_t* out = waveform_out + c * kModulePointCount;
        for (int g = 0; g < kGroups - 1; ++g)
            resample_group<kWaveform, kWaveformShuffles, 0x80>(row, 0, g, out);
        uint8_t tail[kTailLength];
        memcpy(tail, row + kTailStart, kWaveformInputLength - kTailStart);
        memset(tail + kWaveformInputLength - kTailStart, row[kWaveformInputLength - 1],
               kTailLength - (kWaveformInputLength - kTailStart));
        resample_group<kWaveform, kWaveformShuffles, 0x80>(tail, kTailStart, kGroups - 1, out);
    }
    for (int c = 0; c < spectrum_rows; ++c)
        for (int g = 0; g < kGroups; ++g)
            resample_group<kSpectrum, kSpectrumShuffles, 0>(spectrum + c * kSpectrumInputLength, 0, g,
                                                            spectrum_out + c * kModulePointCount);
}

#pragma GCC pop_options
