// The configuration dialog, made through the host's language service when it offers one.
#pragma once

#include "settings_text.h"

#include <windows.h>

// Shows the dialog, owned by the host's window, and waits for the user while serving the
// calling thread's messages. True, with `settings` changed, when the user pressed OK.
bool run_config_dialog(HWND host, HINSTANCE instance, VisSettings* settings);
