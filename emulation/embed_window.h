// The embed-window function that the emulated Winamp hands to plug-ins (message 505):
// it gives a plug-in the frame window for its drawing window.
#pragma once

#include "emulation/embed_window_state.h"

// Stores embed_window (0 without a frame) in the record, sizes and places the frame after
// the record's rectangle, remembers the record in embed_state and returns the record's
// window field; a record it may not write gets 0 and changes nothing. A plug-in calls it
// through a plain pointer, so the convention is fixed.
HWND __cdecl provide_embed_window(EmbedWindowState* state);
