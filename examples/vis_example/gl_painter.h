// One frame of the OpenGL module: the spectrum bars of the GDI module, drawn with OpenGL
// into the current context's width x height viewport.
#pragma once

#include "settings_text.h"

#include <cstdint>

void paint_spectrum_gl(const VisSettings& settings, const uint8_t* levels, const int* peaks,
                       int bar_count, int width, int height);
