// Pictures of windows of another thread, read back from what was drawn on the window's
// surface. Plug-ins draw straight into their window's device context and ignore WM_PRINT,
// so the pixels are copied from that context, as a person would see them.
#pragma once

#include "tools/player/image.h"

#include <windows.h>

// The window's client area with the windows inside it; empty when the window is gone or
// its pixels could not be read.
Image capture_client(HWND window);

// The client area under a caption strip that carries the window's title, as the frame
// looks on screen.
Image capture_framed(HWND window);
