// The thread of the emulated Winamp main window. As in Winamp, that window belongs to a
// thread that does nothing but answer it: it never waits for the thread that runs the
// plug-in, so a plug-in thread may ask it anything while the plug-in's entries wait for
// that thread. One such thread serves one main window and ends when the window goes.
#pragma once

#include <windows.h>

// Starts the thread, which creates a window of the main window's class (registered by the
// caller) with the extended style given and then pumps its messages. The window, or 0
// when it could not be made in time.
HWND start_main_window_thread(DWORD ex_style);

// Has the thread destroy its window, if it still has one, and waits a short while for the
// thread to end. Also collects a thread whose window went another way.
void end_main_window_thread();
