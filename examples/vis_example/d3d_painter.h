// One frame of the Direct3D 9 module: the spectrum bars of the GDI module, drawn as
// coloured quads into the scene the device has begun on its width x height back buffer.
#pragma once

#include "settings_text.h"

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

void paint_spectrum_d3d(IDirect3DDevice9* device, const VisSettings& settings,
                        const uint8_t* levels, const int* peaks, int bar_count, int width,
                        int height);
