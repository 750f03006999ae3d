// The messages a view that OpenGL or Direct3D covers entirely answers the same way.
#pragma once

#include <windows.h>

// True, with the answer in `result`, when the message is answered here; false when the
// view's own handling and DefWindowProc take it.
bool answer_covered_view_message(HWND window, UINT message, LPARAM lparam, LRESULT* result);
