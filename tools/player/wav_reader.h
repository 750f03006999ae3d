// Reads a RIFF/WAVE file held in memory: 16-bit PCM, one or two channels.
#pragma once

#include "tools/player/pcm_audio.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct WavReadResult {
    PcmAudio audio;
    // Empty when the file was read; otherwise says why it was refused.
    std::string error;
};

// Every length in the file is checked against size before it is used, so a damaged or
// foreign file gives an error and never a read past the buffer. A data chunk cut short
// keeps the whole frames that are there.
WavReadResult read_wav(const uint8_t* data, size_t size);
