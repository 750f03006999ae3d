// Ending the dialogs of a thread that is asked to stop, so that it can finish by itself: a
// plug-in's modal dialog otherwise holds the thread until the user closes it.
#pragma once

#include <windows.h>

// Posts to every top-level dialog of the thread the Cancel command its Cancel button (or
// the Escape key) would send. Never waits for the thread.
void cancel_thread_dialogs(DWORD thread_id);
