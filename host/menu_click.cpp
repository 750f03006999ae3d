// Click: the popup menu on the player's panel and the commands it carries out.
#include "host/command_menu.h"
#include "host/plugin_object.h"
#include "host/plugin_selection.h"
#include "host/wrapper_state.h"
#include "runtime/render_thread.h"

namespace {

void configure()
{
    if (!is_render_thread_running()) {
        start_render_thread(kRenderConfigureOnly);
        return;
    }
    if (configure_running_module() == 1) {
        stop_render_thread();
        start_render_thread(kRenderConfigureThenRun);
    }
}

void unload()
{
    stop_render_thread();
    g_state.plugin_path[0] = '\0';
    update_menu_state(0);
}

}  // namespace

void __stdcall Click(VisualPluginObject*, uint32_t, uint32_t)
{
    if (!g_state.command_menu)
        return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(
        g_state.command_menu, TPM_RETURNCMD, cursor.x, cursor.y, g_state.host_app_window, nullptr));
    switch (command) {
    case kCommandStart:
        start_render_thread(kRenderRun);
        break;
    case kCommandStop:
        stop_render_thread();
        break;
    case kCommandConfigure:
        configure();
        break;
    case kCommandLoadPlugin:
        load_plugin_dialog();
        break;
    case kCommandUnloadPlugin:
        unload();
        break;
    default:
        break;
    }
}
