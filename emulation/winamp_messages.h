// The Winamp WM_USER messages that a plug-in sends to the emulated Winamp main window.
#pragma once

#include <windows.h>

// The answer to WM_USER with the Winamp request code in lParam.
LRESULT answer_winamp_message(HWND window, WPARAM wparam, LPARAM code);
