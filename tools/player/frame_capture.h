// Pictures of windows of another thread, read back from what was drawn on the window's
// surface. Plug-ins draw straight into their window's device context and ignore WM_PRINT,
// so the pixels are copied from that context, as a person would see them.
#pragma once

#include "tools/player/image.h"

#include <windows.h>

// Where a picture is read from: the window's own surface, or the screen as a display shows
// it (under some X11 drivers a child window's surface holds no OpenGL pixels). The screen is
// read only from the player's own thread: under Wine's X11 driver reading it from another
// thread while a plug-in draws with OpenGL can hang both.
enum class PictureSource { kSurface, kScreen };

// The window's client area with the windows inside it; empty when the window is gone or
// its pixels could not be read.
Image capture_client(HWND window, PictureSource source = PictureSource::kSurface);

// The client area under a caption strip that carries the window's title, as the frame
// looks on screen.
Image capture_framed(HWND window, PictureSource source = PictureSource::kSurface);
