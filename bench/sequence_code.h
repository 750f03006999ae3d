// A frame number hidden in the player's audio data so that the benchmark plug-in can tell
// which staged frame its render call sees. The conversion stretches the rows and adds and
// removes a bias, so the number is written as constant runs of samples: points well inside
// a run interpolate between two equal values and come out exactly as they went in.
#pragma once

#include <cstdint>

// The player's record: spectrum (2 x 256) at 8, waveform (2 x 512) at 520.
constexpr int kFrameBytes = 1544;
constexpr int kFrameSpectrumOffset = 8;
constexpr int kFrameWaveformOffset = 520;

// 0 is never written, so arrays that hold no frame read as 0.
constexpr uint32_t kNoSequence = 0;

// Fills the whole record: the number in waveform row 0 and its complement in spectrum row 0
// (a module array that holds both halves of one frame is the only thing that decodes), and
// changing audio-like data in the other rows.
void write_sequence_frame(uint32_t sequence, uint8_t frame[kFrameBytes]);

// Reads the number back from row 0 of a module's 576-point arrays (waveform as the bytes of
// its signed samples); kNoSequence when the two halves do not agree.
uint32_t read_sequence(const uint8_t waveform_row[576], const uint8_t spectrum_row[576]);
