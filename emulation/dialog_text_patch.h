// The texts of dialogs that the language service makes name the player instead of Winamp.
#pragma once

#include <windows.h>

// EnumChildWindows routines: in the window's text (read up to 254 characters) the first
// "Winamp", or else the first "winamp", becomes " ZEKO "; the two skin and fullscreen
// options that then name the player are disabled. Always go on with the enumeration. The
// wide one keeps every character of a wide dialog's texts.
BOOL CALLBACK patch_child_text(HWND window, LPARAM unused);
BOOL CALLBACK patch_child_text_wide(HWND window, LPARAM unused);

// Runs the routine over the window's descendants; nothing for a null window, which would
// make EnumChildWindows walk every top-level window of the desktop.
void patch_children(HWND window, WNDENUMPROC patch);
