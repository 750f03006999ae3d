// One frame of each module, drawn with GDI into the back buffer.
#pragma once

#include "back_buffer.h"
#include "drawing_rules.h"
#include "settings_text.h"

#include <cstdint>

// bar_count bars standing for `levels`, each with its falling peak (`peaks`, 0..255).
void paint_spectrum(const BackBuffer& buffer, const VisSettings& settings,
                    const uint8_t* levels, const int* peaks, int bar_count);

// One trace a channel, each in a band of its own, from the host's waveform rows (signed
// samples in unsigned bytes).
void paint_scope(const BackBuffer& buffer, const VisSettings& settings,
                 const uint8_t (*waveform)[kSpectrumPoints], int channels);
