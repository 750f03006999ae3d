// The choice of Winamp plug-in: the file dialog that picks it, its directory as plug-ins
// are told it, and configuring the module that runs.
#pragma once

#include <cstdint>

// plugin_dir: the directory of plugin_path without a trailing separator, or host_dir when
// nothing is selected.
void compute_plugin_dir();

// The "Load Plugin..." command: choose a DLL (and a module with a "$N" suffix), probe it,
// and run it; a rejected choice puts the earlier selection back and runs it again.
void load_plugin_dialog();

// Configures the running module in place (returns 0), or returns 1 for the modules that
// must be stopped and started again to be configured.
int32_t configure_running_module();
