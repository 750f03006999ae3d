// The frame number hidden in the staged audio survives the conversion to 576 points.
#include "bench/sequence_code.h"
#include "runtime/audio_resample.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ConvertedFrame {
    std::vector<uint8_t> waveform = std::vector<uint8_t>(2 * kModulePointCount, 0);
    std::vector<uint8_t> spectrum = std::vector<uint8_t>(2 * kModulePointCount, 0);

    void convert(const uint8_t* frame)
    {
        resample_audio(frame + kFrameWaveformOffset, frame + kFrameSpectrumOffset, 2, 2,
                       waveform.data(), spectrum.data());
    }
    uint32_t sequence() const { return read_sequence(waveform.data(), spectrum.data()); }
};

TEST(BenchSequenceCode, EveryByteValueSurvivesTheConversion)
{
    std::vector<uint8_t> frame(kFrameBytes);
    for (uint32_t sequence : {1u, 2u, 0x7F80FF01u, 0x80808080u, 0x7F7F7F7Fu, 0x12345678u,
                              0xFFFFFFFEu, 0xFFFFFFFFu, 0x00FF00FFu}) {
        write_sequence_frame(sequence, frame.data());
        ConvertedFrame converted;
        converted.convert(frame.data());
        EXPECT_EQ(converted.sequence(), sequence) << std::hex << sequence;
    }
}

TEST(BenchSequenceCode, ConsecutiveFramesReadBackInOrder)
{
    std::vector<uint8_t> frame(kFrameBytes);
    ConvertedFrame converted;
    for (uint32_t sequence = 250; sequence < 1300; ++sequence) {
        write_sequence_frame(sequence, frame.data());
        converted.convert(frame.data());
        ASSERT_EQ(converted.sequence(), sequence);
    }
}

TEST(BenchSequenceCode, ArraysWithoutAWholeFrameReadAsNone)
{
    ConvertedFrame empty;
    EXPECT_EQ(empty.sequence(), kNoSequence);

    // Waveform of one frame, spectrum of another.
    std::vector<uint8_t> first(kFrameBytes);
    std::vector<uint8_t> second(kFrameBytes);
    write_sequence_frame(41, first.data());
    write_sequence_frame(42, second.data());
    ConvertedFrame mixed;
    resample_audio(first.data() + kFrameWaveformOffset, second.data() + kFrameSpectrumOffset, 2,
                   2, mixed.waveform.data(), mixed.spectrum.data());
    EXPECT_EQ(mixed.sequence(), kNoSequence);
}

}  // namespace
