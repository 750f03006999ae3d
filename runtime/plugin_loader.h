// Turns plugin_path into a loaded plug-in DLL and a prepared module, and back.
#pragma once

#include <cstdint>

// 1 on success, 0 on failure (with the error box when show_errors is non-zero and a path
// is set). With probe_only the DLL is unloaded again as soon as its header was obtained.
// When the DLL gives no module at all, the result is 0 and plugin_library stays loaded for
// the run's teardown to free.
int32_t load_winamp_plugin(int32_t show_errors, int32_t probe_only);

// Whether the selected DLL loads and hands out its header; leaves nothing loaded.
int32_t probe_winamp_plugin(int32_t show_errors);

// Lets the module quit, takes its channel counts off the wanted-counters and frees the DLL.
void unload_winamp_plugin();
