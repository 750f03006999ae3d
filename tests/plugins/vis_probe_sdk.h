// vis_probe as a Winamp 5 SDK plug-in: its services are looked up through the host's
// directory with the identifier passed by value, and every string, menu, accelerator table
// and dialog comes through the language service, used the way such plug-ins use them.
#pragma once

#include "tests/plugins/vis_probe_control.h"

// From the header function: the directory (message 3025) and the three services, then the
// language support started for the plug-in's own instance.
void sdk_find_services(HWND winamp, ProbeSdkRecord* record);
// From init: strings, menus, accelerators, dialogs, the application and callback calls.
void sdk_use_services(HWND winamp, ProbeSdkRecord* record);
// From render: the playlist title, ANSI and wide, copied unchecked.
void sdk_copy_titles(HWND winamp, ProbeSdkRecord* record);
// From render: a modal dialog, open until something cancels it.
void sdk_run_kept_dialog(HWND parent, ProbeSdkRecord* record);
