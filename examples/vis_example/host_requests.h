// What the plug-in asks of its host through the host's main window (the module's parent).
#pragma once

#include "winamp_plugin_api.h"

#include <cstddef>

// The full path of the host's settings file (request 334), copied into `path`. False when
// the host names none or the path does not fit.
bool ask_settings_file(HWND host, char* path, size_t size);

// The embed-window function (request 505), 0 when the host has no frame to offer now.
EmbedWindowFunction ask_embed_function(HWND host);

// Tells the host which window the plug-in draws in (request 611); 0 when it is gone.
void announce_vis_window(HWND host, HWND window);

// The language service (request 3025, then the directory's FindService), 0 when the host
// offers none.
WinampService* find_language_service(HWND host);

// A modeless dialog from this DLL's resources, made by the language service so that the
// host may translate it; 0 when the service refuses or the dialog cannot be made.
HWND create_language_dialog(WinampService* language, HINSTANCE instance, int template_id,
                            HWND parent, DLGPROC procedure, LPARAM parameter);
