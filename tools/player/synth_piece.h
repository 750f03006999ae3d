// The built-in piece the player plays without --wav: a few bars of chords over a kick on
// every beat and a hi-hat between the beats, made in code so the player needs no file.
#pragma once

#include "tools/player/pcm_audio.h"

constexpr int32_t kPieceSampleRate = 44100;
constexpr int kPieceBeatsPerMinute = 120;
constexpr int kPieceBeatsPerChord = 4;
constexpr int kPieceChordCount = 4;

// The same samples on every call: the noise of the hi-hat comes from a fixed seed.
PcmAudio synthesize_piece();
