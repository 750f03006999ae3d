// Pictures of windows of another thread, taken by asking each to print itself into a
// memory bitmap. Reading a window's screen back gives nothing under a headless display
// driver; printing works everywhere.
#pragma once

#include "tools/player/image.h"

#include <windows.h>

// The window's client area with the windows inside it; empty when the window is gone or
// could not be printed.
Image capture_client(HWND window);

// The client area under a caption strip that carries the window's title, as the frame
// looks on screen.
Image capture_framed(HWND window);
