#include "tools/player/synth_piece.h"

#include <cmath>

namespace {

const double kPi = std::acos(-1.0);

// Fifth-octave triads of C major, A minor, F major and G major, in hertz.
constexpr double kChords[kPieceChordCount][3] = {
    {523.25, 659.26, 783.99},
    {440.00, 523.25, 659.26},
    {349.23, 440.00, 523.25},
    {392.00, 493.88, 587.33},
};

constexpr double kChordGain = 0.16;
constexpr double kKickGain = 0.55;
constexpr double kHatGain = 0.12;

double chord_sample(int chord, double time_in_chord, double chord_seconds)
{
    // A soft attack and a slow fade, so a chord change is heard and seen.
    const double attack = std::fmin(1.0, time_in_chord / 0.02);
    const double envelope = attack * (1.0 - 0.6 * time_in_chord / chord_seconds);
    double sum = 0.0;
    for (double frequency : kChords[chord]) {
        const double phase = 2.0 * kPi * frequency * time_in_chord;
        sum += std::sin(phase) + 0.3 * std::sin(2.0 * phase);
    }
    return kChordGain * envelope * sum;
}

// A sine falling from 150 Hz towards 45 Hz that dies away within about 150 ms.
double kick_sample(double time_in_beat)
{
    const double sweep = 0.03;
    const double phase = 2.0 * kPi * (45.0 * time_in_beat + 105.0 * sweep * (1.0 - std::exp(-time_in_beat / sweep)));
    return kKickGain * std::exp(-time_in_beat / 0.05) * std::sin(phase);
}

}  // namespace

PcmAudio synthesize_piece()
{
    const double beat_seconds = 60.0 / kPieceBeatsPerMinute;
    const double chord_seconds = beat_seconds * kPieceBeatsPerChord;
    const auto frames = static_cast<size_t>(kPieceSampleRate * chord_seconds * kPieceChordCount);

    PcmAudio audio;
    audio.sample_rate = kPieceSampleRate;
    audio.samples.resize(frames * kPlayerChannels);
    uint32_t noise_state = 0x2545F491u;
    double previous_noise = 0.0;
    for (size_t frame = 0; frame < frames; ++frame) {
        const double time = static_cast<double>(frame) / kPieceSampleRate;
        const int chord = static_cast<int>(time / chord_seconds) % kPieceChordCount;
        const double time_in_chord = std::fmod(time, chord_seconds);
        const double time_in_beat = std::fmod(time, beat_seconds);
        const double time_after_offbeat = std::fmod(time + beat_seconds / 2, beat_seconds);

        noise_state = noise_state * 1664525u + 1013904223u;
        const double noise = static_cast<double>(noise_state >> 8) / (1u << 24) * 2.0 - 1.0;
        // The difference of successive noise samples leaves mostly the high frequencies.
        const double hiss = noise - previous_noise;
        previous_noise = noise;

        const double chord_part = chord_sample(chord, time_in_chord, chord_seconds);
        const double kick_part = kick_sample(time_in_beat);
        const double hat_part = kHatGain * std::exp(-time_after_offbeat / 0.025) * hiss;
        // Chords lean left and the hi-hat right, so the two channels differ.
        const double left = 0.6 * chord_part + kick_part + 0.3 * hat_part;
        const double right = 0.4 * chord_part + kick_part + 0.7 * hat_part;
        for (int channel = 0; channel < kPlayerChannels; ++channel) {
            const double value = (channel == 0 ? left : right) * 32767.0;
            const double clamped = std::fmax(-32768.0, std::fmin(32767.0, value));
            audio.samples[frame * kPlayerChannels + channel] = static_cast<int16_t>(std::lround(clamped));
        }
    }
    return audio;
}
