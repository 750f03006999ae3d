// Keeps the emulated Winamp windows in step with the player: title, sample rate,
// always-on-top state and position, at most about three times a second.
#pragma once

#include <windows.h>

// Runs a pass when one is due; called by the render loop before every frame.
void sync_with_player();

// Lays the hidden parent_window exactly over the player's application window, with the
// SetWindowPos flags given (never showing it).
void lay_parent_over_player(UINT flags);

// The flags of the synchronisation's move: no activation, no z-order change, no redraw.
constexpr UINT kSyncPlaceFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOSENDCHANGING;
