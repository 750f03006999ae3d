// Winamp messages 212 and 213, a playlist entry's title, which Winamp always answers with a
// string: plug-ins copy the answer without looking at it.
#pragma once

#include <windows.h>

constexpr LPARAM kPlaylistTitleRequest = 212;
constexpr LPARAM kPlaylistTitleWideRequest = 213;

// The player's answer when it gives a string; otherwise the title the main window mirrors
// (ANSI for 212, wide for 213), from a buffer of ours valid until the next such request.
LRESULT answer_playlist_title(WPARAM wparam, LPARAM code);
