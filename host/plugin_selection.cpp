#include "host/plugin_selection.h"

#include "host/module_suffix.h"
#include "host/path_text.h"
#include "host/wrapper_state.h"
#include "runtime/exception_guard.h"
#include "runtime/memory_access.h"
#include "runtime/plugin_loader.h"
#include "runtime/render_thread.h"
#include "runtime/winamp_vis.h"

#include <commdlg.h>

#include <cstring>

namespace {

// Longer module names are not looked into.
constexpr size_t kDescriptionLimit = 4096;

// The file-open structure in its original size, without the fields added later.
constexpr DWORD kOpenFileNameSize = 76;
static_assert(offsetof(OPENFILENAMEA, pvReserved) == kOpenFileNameSize, "the original layout ends here");

bool choose_plugin_file()
{
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = kOpenFileNameSize;
    dialog.hwndOwner = g_state.host_app_window;
    dialog.lpstrFilter = "Winamp Visualisation Plugins (vis*.dll)\0vis*.dll\0"
                         "All DLL files (*.dll)\0*.dll\0";
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = g_state.plugin_path;
    dialog.nMaxFile = kPathCapacity;
    dialog.lpstrTitle = "Open Winamp Visualisation Plugin";
    dialog.lpstrDefExt = "dll";
    dialog.Flags = OFN_PATHMUSTEXIST;
    return GetOpenFileNameA(&dialog) != 0;
}

}  // namespace

void compute_plugin_dir()
{
    if (g_state.plugin_path[0] == '\0') {
        copy_path(g_state.plugin_dir, kPathCapacity, g_state.host_dir);
        return;
    }
    copy_path(g_state.plugin_dir, kPathCapacity, g_state.plugin_path);
    cut_at_last_separator(g_state.plugin_dir);
}

void load_plugin_dialog()
{
    char saved_path[kPathCapacity];
    memcpy(saved_path, g_state.plugin_path, sizeof saved_path);
    const int32_t saved_module_index = g_state.module_index;

    if (!choose_plugin_file()) {
        // A failed or cancelled dialog may still have written into the buffer.
        memcpy(g_state.plugin_path, saved_path, sizeof saved_path);
        return;
    }
    g_state.module_index = take_module_suffix(g_state.plugin_path);

    const bool was_running = is_render_thread_running() != 0;
    stop_render_thread();
    if (probe_winamp_plugin(1)) {
        compute_plugin_dir();
        start_render_thread(kRenderRun);
        return;
    }
    // The rejected file's module number goes too, so the earlier module is the one that
    // runs again.
    memcpy(g_state.plugin_path, saved_path, sizeof saved_path);
    g_state.module_index = saved_module_index;
    if (was_running)
        start_render_thread(kRenderRun);
}

int32_t configure_running_module()
{
    WinampVisModule* module = g_state.active_module;
    // The plug-in may have changed its record, or its name, since the load.
    if (!module || !is_readable_memory(module, sizeof *module))
        return 0;
    const char* name = module->description;
    if (is_readable_text(name, kDescriptionLimit) &&
        (strstr(name, "MilkDrop") || strstr(name, "Classic Spectrum Analyzer")))
        return 1;
    if (g_state.parent_window && module->config_entry)
        call_guarded(module->config_entry, module);
    return 0;
}
