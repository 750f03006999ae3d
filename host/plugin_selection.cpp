#include "host/plugin_selection.h"

#include "host/path_text.h"
#include "host/wrapper_state.h"

void compute_plugin_dir()
{
    if (g_state.plugin_path[0] == '\0') {
        copy_path(g_state.plugin_dir, kPathCapacity, g_state.host_dir);
        return;
    }
    copy_path(g_state.plugin_dir, kPathCapacity, g_state.plugin_path);
    cut_at_last_separator(g_state.plugin_dir);
}
