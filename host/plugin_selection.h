// The choice of Winamp plug-in: its directory as plug-ins are told it.
#pragma once

// plugin_dir: the directory of plugin_path without a trailing separator, or host_dir when
// nothing is selected.
void compute_plugin_dir();
