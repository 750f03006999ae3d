// A dialog of vis_probe's own, opened at start and left open as a plug-in's editor is: a
// text field and a button, so it is no message box.
#pragma once

#include <windows.h>

// Modeless and visible, owned by the given window; 0 when it could not be made.
HWND open_own_dialog(HWND owner);
void close_own_dialog(HWND* dialog);
