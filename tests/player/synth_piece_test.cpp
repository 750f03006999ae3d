#include "tools/player/synth_piece.h"

#include "tools/player/frequency_levels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const double kBeatSeconds = 60.0 / kPieceBeatsPerMinute;

std::vector<uint8_t> left_levels_at(const PcmAudio& audio, double seconds)
{
    const auto frame = static_cast<size_t>(seconds * audio.sample_rate);
    std::vector<uint8_t> levels(kSpectrumBins);
    spectrum_levels(audio.samples.data() + frame * kPlayerChannels, kPlayerChannels, levels.data());
    return levels;
}

int bin_of(double frequency)
{
    return static_cast<int>(std::lround(frequency * kSpectrumWindow / kPieceSampleRate));
}

TEST(SynthPiece, IsTheSameLoudStereoPieceEveryTime)
{
    const PcmAudio piece = synthesize_piece();
    EXPECT_EQ(piece.sample_rate, kPieceSampleRate);
    const double seconds = kBeatSeconds * kPieceBeatsPerChord * kPieceChordCount;
    EXPECT_EQ(piece.frame_count(), static_cast<size_t>(seconds * kPieceSampleRate));
    EXPECT_EQ(piece.samples, synthesize_piece().samples);

    const auto [low, high] = std::minmax_element(piece.samples.begin(), piece.samples.end());
    EXPECT_LT(*low, -16000);
    EXPECT_GT(*high, 16000);
    size_t channels_differ = 0;
    for (size_t frame = 0; frame < piece.frame_count(); ++frame)
        channels_differ += piece.samples[frame * 2] != piece.samples[frame * 2 + 1];
    EXPECT_GT(channels_differ, piece.frame_count() / 2);
}

TEST(SynthPiece, EveryBeatStartsWithABassKick)
{
    const PcmAudio piece = synthesize_piece();
    const int beats = kPieceBeatsPerChord * kPieceChordCount;
    const double window_seconds = static_cast<double>(kSpectrumWindow) / kPieceSampleRate;
    for (int beat = 1; beat < beats; ++beat) {
        const double start = beat * kBeatSeconds;
        const int after = left_levels_at(piece, start)[1];
        const int before = left_levels_at(piece, start - window_seconds)[1];
        EXPECT_GT(after, before + 40) << "beat " << beat;
    }
}

TEST(SynthPiece, EachChordSoundsItsThreeNotes)
{
    const PcmAudio piece = synthesize_piece();
    // Between the kick's tail and the next hi-hat, C, A minor, F and G major in turn.
    const double notes[kPieceChordCount][3] = {
        {523.25, 659.26, 783.99}, {440.0, 523.25, 659.26}, {349.23, 440.0, 523.25}, {392.0, 493.88, 587.33}};
    for (int chord = 0; chord < kPieceChordCount; ++chord) {
        const double time = (chord * kPieceBeatsPerChord + 1) * kBeatSeconds + 0.12;
        const std::vector<uint8_t> levels = left_levels_at(piece, time);
        for (double note : notes[chord])
            EXPECT_GE(levels[bin_of(note)], 120) << "chord " << chord << " note " << note;
        // Far above the notes and their octaves the chord leaves the spectrum dark.
        EXPECT_LE(levels[bin_of(4000.0)], 60) << "chord " << chord;
    }
}

}  // namespace
