// What kind of window a plug-in handed us.
#pragma once

#include <windows.h>

// A child window moves with its parent and has no place among the top-level windows.
inline bool is_child_window(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0;
}
