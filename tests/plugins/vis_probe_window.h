// vis_probe's windows: the drawing window it announces (message 611) and the frame it asks
// for (message 505). The drawing window records every message it gets.
#pragma once

#include "tests/plugins/vis_probe_control.h"

// parent 0 makes a top-level window. With an early position fault in the control block the
// window is not ready for position or size messages until mark_drawing_window_ready.
HWND create_drawing_window(HWND parent, ProbeControl* control);
void mark_drawing_window_ready();
void announce_drawing_window(HWND winamp, HWND drawing);
void destroy_drawing_window(ProbeControl* control);

// Paints the client straight through the window's DC, as many plug-ins do in render: a
// column that moves over a background that changes with every frame.
void paint_through_dc(HWND drawing, LONG frame);

// Calls the embed-window function that message 505 hands out; 0 when there is none.
HWND ask_embed_window(HWND winamp, ProbeEmbedRecord* record);
