// Passing a message on to the player's Winamp-compatible window without ever waiting for
// more than 300 ms, so a hung player cannot stall the plug-in's thread.
#pragma once

#include <windows.h>

constexpr UINT kForwardTimeoutMs = 300;

// The player's answer, or -1 when there is no such window or it did not answer in time.
LRESULT forward_to_player(UINT message, WPARAM wparam, LPARAM lparam);
