#include "runtime/audio_resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kWaveformStepBits = 0x3F63818F;
constexpr uint32_t kSpectrumStepBits = 0x3EB21643;

// Inputs sized exactly, on the heap, so that a read past either staging copy is caught by
// the address sanitizer; outputs pre-filled with 0xA5 so that rows left alone show.
struct Frame {
    explicit Frame(ResamplePath path) : path(path) {}

    ResamplePath path;
    std::vector<uint8_t> waveform = std::vector<uint8_t>(2 * kWaveformInputLength, 0);
    std::vector<uint8_t> spectrum = std::vector<uint8_t>(2 * kSpectrumInputLength, 0);
    std::vector<uint8_t> waveform_out = std::vector<uint8_t>(2 * kModulePointCount, 0xA5);
    std::vector<uint8_t> spectrum_out = std::vector<uint8_t>(2 * kModulePointCount, 0xA5);

    void convert(int32_t waveform_channels, int32_t spectrum_channels)
    {
        resample_audio_on(path, waveform.data(), spectrum.data(), waveform_channels,
                          spectrum_channels, waveform_out.data(), spectrum_out.data());
    }
    int8_t wave(int row, int i) const
    {
        return static_cast<int8_t>(waveform_out[row * kModulePointCount + i]);
    }
    int spectrum_at(int row, int i) const { return spectrum_out[row * kModulePointCount + i]; }
};

// The rules read literally: the step is the float with the given bits, x = i * step formed
// in double, k and f split off x, v = a * (1 - f) + b * f kept as an exact fraction and
// converted to single precision once, by the hardware. Returns the byte to store.
struct Reference {
    uint8_t point(const uint8_t* row, int length, uint32_t step_bits, int i, bool signed_samples)
    {
        float step;
        memcpy(&step, &step_bits, sizeof step);
        const double x = i * static_cast<double>(step);
        const double k = std::trunc(x);
        const double f = x - k; // exact: k is 0 or within a factor of two of x
        uint64_t m = 0;         // f = m / 2^q in lowest terms
        int q = 0;
        if (f != 0) {
            int exponent;
            const double mantissa = std::frexp(f, &exponent);
            m = static_cast<uint64_t>(std::ldexp(mantissa, 53));
            q = 53 - exponent;
            while (m % 2 == 0) {
                m /= 2;
                --q;
            }
        }
        max_denominator_bits = std::max(max_denominator_bits, q);
        const int index = static_cast<int>(k);
        const int next = index + 1 < length ? index + 1 : length - 1;
        const int bias = signed_samples ? 128 : 0;
        const uint64_t a = signed_samples ? static_cast<int8_t>(row[index]) + bias : row[index];
        const uint64_t b = signed_samples ? static_cast<int8_t>(row[next]) + bias : row[next];
        const uint64_t numerator = a * ((uint64_t{1} << q) - m) + b * m;
        const volatile float v = static_cast<float>(std::ldexp(static_cast<double>(numerator), -q));
        const int truncated = static_cast<int>(v);
        if (truncated != static_cast<int>(numerator >> q))
            rounded_up += 1;
        return static_cast<uint8_t>(truncated - bias);
    }
    int max_denominator_bits = 0;
    int rounded_up = 0; // points where rounding to single precision changed the result
};

// The exact integer form the routine was first written in, point by point: the step as
// mantissa / 2^shift, the value as an exact numerator over the same power of two, rounded
// to 24 significant bits (nearest, ties to even) and truncated.
struct ExactStep {
    uint64_t mantissa;
    unsigned shift;
    unsigned last; // the last input a point may read; its own neighbour
};

constexpr ExactStep exact_step(uint32_t bits, unsigned last)
{
    return {(bits & 0x7FFFFFu) | 0x800000u, 150u - ((bits >> 23) & 0xFFu), last};
}

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

struct ExactPoint {
    unsigned k, next;
    uint64_t weight;
};

ExactPoint exact_position(ExactStep step, int i)
{
    const uint64_t position = static_cast<uint64_t>(i) * step.mantissa;
    const unsigned k = static_cast<unsigned>(position >> step.shift);
    return {k, k < step.last ? k + 1 : step.last, position & ((uint64_t{1} << step.shift) - 1)};
}

// a and b in 0..255 (waveform samples already biased); returns the numerator and the
// truncated result, so that a caller can tell where the rounding changed the result.
uint32_t exact_value(ExactStep step, uint64_t weight, int64_t a, int64_t b, uint64_t* numerator)
{
    *numerator = static_cast<uint64_t>(a * (int64_t{1} << step.shift) +
                                       (b - a) * static_cast<int64_t>(weight));
    return round_to_float_and_truncate(*numerator, step.shift);
}

// Every test runs each way the processor can do it.
class AudioResample : public testing::TestWithParam<ResamplePath> {
protected:
    void SetUp() override
    {
        if (!processor_runs(GetParam()))
            GTEST_SKIP() << "this processor does not run it";
    }
};

INSTANTIATE_TEST_SUITE_P(Paths, AudioResample, testing::Values(ResamplePath::sse2, ResamplePath::avx2),
                         [](const testing::TestParamInfo<ResamplePath>& info) {
                             return info.param == ResamplePath::sse2 ? "sse2" : "avx2";
                         });

TEST_P(AudioResample, WaveformPointsWeighTheTwoNeighbouringSamples)
{
    Frame frame(GetParam());
    frame.waveform[1] = 100;
    frame.convert(1, 0);
    EXPECT_EQ(frame.wave(0, 0), 0);
    EXPECT_EQ(frame.wave(0, 1), 88);
    EXPECT_EQ(frame.wave(0, 2), 22);
}

TEST_P(AudioResample, SpectrumStretchesTheLowerBinsOverAllPoints)
{
    Frame frame(GetParam());
    frame.spectrum[1] = 10;
    frame.spectrum[2] = 110;
    frame.convert(0, 1);
    const int expected[] = {6, 14, 49, 83, 100};
    for (int i = 2; i <= 6; ++i)
        EXPECT_EQ(frame.spectrum_at(0, i), expected[i - 2]) << i;
}

TEST_P(AudioResample, LastSpectrumPointFallsOneUnitBelowBin200WhenBin201IsZero)
{
    Frame frame(GetParam());
    frame.spectrum[200] = 100;
    frame.convert(0, 1);
    EXPECT_EQ(frame.spectrum_at(0, 575), 99);
}

TEST_P(AudioResample, ConstantRowsStayConstantUpToTheLastPoint)
{
    // Row 1 differs from row 0, so row 0's last point would show it if it were read as the
    // neighbour of sample 511.
    const int8_t samples[][2] = {{-128, 127}, {127, -128}, {0, -1}, {-1, 0}};
    const uint8_t values[][2] = {{0, 255}, {255, 0}, {1, 254}};
    for (const auto& pair : samples) {
        Frame frame(GetParam());
        for (int c = 0; c < 2; ++c)
            memset(&frame.waveform[c * kWaveformInputLength], static_cast<uint8_t>(pair[c]),
                   kWaveformInputLength);
        frame.convert(2, 0);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < kModulePointCount; ++i)
                ASSERT_EQ(frame.wave(c, i), pair[c]) << c << " " << i;
    }
    for (const auto& pair : values) {
        Frame frame(GetParam());
        for (int c = 0; c < 2; ++c)
            memset(&frame.spectrum[c * kSpectrumInputLength], pair[c], kSpectrumInputLength);
        frame.convert(0, 2);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < kModulePointCount; ++i)
                ASSERT_EQ(frame.spectrum_at(c, i), pair[c]) << c << " " << i;
    }
}

TEST_P(AudioResample, FillsOnlyTheRowsTheChannelCountsAskForAndAtMostTwo)
{
    const struct {
        int32_t waveform, spectrum;
        int waveform_rows, spectrum_rows;
    } cases[] = {{1, 0, 1, 0}, {0, 1, 0, 1}, {2, 1, 2, 1}, {3, 3, 2, 2},
                 {-1, -1, 0, 0}, {0, 0, 0, 0}, {INT32_MIN, INT32_MAX, 0, 2}};
    for (const auto& test : cases) {
        Frame frame(GetParam()); // zero inputs give zero outputs, unlike the 0xA5 fill
        frame.convert(test.waveform, test.spectrum);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < kModulePointCount; ++i) {
                ASSERT_EQ(frame.waveform_out[c * kModulePointCount + i],
                          c < test.waveform_rows ? 0 : 0xA5)
                    << test.waveform << " row " << c;
                ASSERT_EQ(frame.spectrum_out[c * kModulePointCount + i],
                          c < test.spectrum_rows ? 0 : 0xA5)
                    << test.spectrum << " row " << c;
            }
    }
}

// Every point of both steps against the exact form for every ordered pair of neighbouring
// values: rows alternate a and b, so a point whose left sample is even sees (a, b) and
// one whose left sample is odd sees (b, a), and the 65536 frames give each point every
// pair (the waveform's last point, its own neighbour, every equal pair).
TEST_P(AudioResample, MatchesTheExactIntegerFormForEveryPairOfNeighbouringValues)
{
    const ExactStep waveform_step = exact_step(kWaveformStepBits, kWaveformInputLength - 1);
    const ExactStep spectrum_step = exact_step(kSpectrumStepBits, kSpectrumInputLength - 1);
    ExactPoint waveform_points[kModulePointCount];
    ExactPoint spectrum_points[kModulePointCount];
    for (int i = 0; i < kModulePointCount; ++i) {
        waveform_points[i] = exact_position(waveform_step, i);
        spectrum_points[i] = exact_position(spectrum_step, i);
    }
    Frame frame(GetParam());
    long long evaluations = 0, mismatches = 0, rounded_up = 0;
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            for (int k = 0; k < kWaveformInputLength; ++k)
                frame.waveform[k] = static_cast<uint8_t>(k % 2 == 0 ? a : b);
            for (int k = 0; k < kSpectrumInputLength; ++k)
                frame.spectrum[k] = static_cast<uint8_t>(k % 2 == 0 ? a : b);
            frame.convert(1, 1);
            for (int i = 0; i < kModulePointCount; ++i) {
                uint64_t numerator;
                const ExactPoint& w = waveform_points[i];
                const uint32_t wave = exact_value(waveform_step, w.weight, frame.waveform[w.k] ^ 0x80,
                                                  frame.waveform[w.next] ^ 0x80, &numerator);
                rounded_up += wave != numerator >> waveform_step.shift;
                const ExactPoint& s = spectrum_points[i];
                const uint32_t bin = exact_value(spectrum_step, s.weight, frame.spectrum[s.k],
                                                 frame.spectrum[s.next], &numerator);
                rounded_up += bin != numerator >> spectrum_step.shift;
                mismatches += frame.waveform_out[i] != (wave ^ 0x80);
                mismatches += frame.spectrum_out[i] != bin;
                if (mismatches != 0) {
                    ADD_FAILURE() << "a " << a << " b " << b << " point " << i << ": waveform "
                                  << int(frame.waveform_out[i]) << " for " << (wave ^ 0x80)
                                  << ", spectrum " << int(frame.spectrum_out[i]) << " for " << bin;
                    return;
                }
                evaluations += 2;
            }
        }
    EXPECT_EQ(evaluations, 2LL * kModulePointCount * 256 * 256);
    EXPECT_GT(rounded_up, 0); // the rounding carried into the next integer somewhere
}

TEST_P(AudioResample, MatchesAnExactReferenceBitForBitOnRandomRows)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> small_step(-3, 3);
    Reference reference;
    for (int round = 0; round < 2500; ++round) { // four rows a round
        Frame frame(GetParam());
        // Alternate noise with slowly varying rows, whose small differences put the exact
        // values close to integers far more often.
        const bool smooth = round % 2 == 1;
        int level = byte(random);
        for (auto* buffer : {&frame.waveform, &frame.spectrum})
            for (auto& value : *buffer) {
                level = smooth ? std::clamp(level + small_step(random), 0, 255) : byte(random);
                value = static_cast<uint8_t>(level);
            }
        frame.convert(2, 2);
        for (int c = 0; c < 2; ++c) {
            // Point 0 is input 0 exactly, without any rounding.
            ASSERT_EQ(frame.waveform_out[c * kModulePointCount],
                      frame.waveform[c * kWaveformInputLength]);
            ASSERT_EQ(frame.spectrum_out[c * kModulePointCount],
                      frame.spectrum[c * kSpectrumInputLength]);
            for (int i = 0; i < kModulePointCount; ++i) {
                ASSERT_EQ(frame.waveform_out[c * kModulePointCount + i],
                          reference.point(&frame.waveform[c * kWaveformInputLength],
                                          kWaveformInputLength, kWaveformStepBits, i, true))
                    << "round " << round << " waveform row " << c << " point " << i;
                ASSERT_EQ(frame.spectrum_out[c * kModulePointCount + i],
                          reference.point(&frame.spectrum[c * kSpectrumInputLength],
                                          kSpectrumInputLength, kSpectrumStepBits, i, false))
                    << "round " << round << " spectrum row " << c << " point " << i;
            }
        }
    }
    // The exact fraction fits the reference's 64-bit arithmetic, and the rounding to single
    // precision was actually exercised.
    EXPECT_LE(reference.max_denominator_bits, 25);
    EXPECT_GT(reference.rounded_up, 0);
}

TEST(AudioResampleChoice, TakesAWayThisProcessorRuns)
{
    EXPECT_TRUE(processor_runs(ResamplePath::sse2));
    Frame frame(ResamplePath::sse2);
    std::mt19937 random(7);
    for (auto* buffer : {&frame.waveform, &frame.spectrum})
        for (auto& value : *buffer)
            value = static_cast<uint8_t>(random());
    frame.convert(2, 2);
    std::vector<uint8_t> waveform_out(2 * kModulePointCount), spectrum_out(2 * kModulePointCount);
    resample_audio(frame.waveform.data(), frame.spectrum.data(), 2, 2, waveform_out.data(),
                   spectrum_out.data());
    EXPECT_EQ(waveform_out, frame.waveform_out);
    EXPECT_EQ(spectrum_out, frame.spectrum_out);
}

} // namespace
