// A picture of a window of another thread, its border and caption and the windows in it,
// taken by asking each to print itself into a memory bitmap. Reading a window's screen
// back gives nothing under a headless display driver; printing works everywhere.
#pragma once

#include "tools/player/image.h"

#include <windows.h>

// An empty image when the window is gone or could not be printed.
Image capture_window(HWND window);
