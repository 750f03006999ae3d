// The one message the wrapper ever shows: why a plug-in DLL did not load.
#pragma once

#include <windows.h>

// Shows the fixed sentence with the system's text for error_code (its "%1" naming
// plugin_path) in a modal box without owner. When error_code is 0 or has no text, detail
// stands in for it (nullptr: the sentence alone).
void show_load_error(DWORD error_code, const char* detail);
