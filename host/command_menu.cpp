#include "host/command_menu.h"

#include "host/wrapper_state.h"

void create_command_menu()
{
    g_state.command_menu = CreatePopupMenu();
    if (!g_state.command_menu)
        return;
    AppendMenuA(g_state.command_menu, MF_STRING, kCommandStart, "&Start");
    AppendMenuA(g_state.command_menu, MF_STRING, kCommandStop, "Sto&p");
    AppendMenuA(g_state.command_menu, MF_STRING, kCommandConfigure, "&Configure");
    AppendMenuA(g_state.command_menu, MF_SEPARATOR, kCommandSeparator, nullptr);
    AppendMenuA(g_state.command_menu, MF_STRING, kCommandLoadPlugin, "&Load Plugin...");
    AppendMenuA(g_state.command_menu, MF_STRING, kCommandUnloadPlugin, "&Unload Plugin");
    update_menu_state(1);
}

void destroy_command_menu()
{
    if (!g_state.command_menu)
        return;
    DestroyMenu(g_state.command_menu);
    g_state.command_menu = nullptr;
}

void update_menu_state(int32_t running)
{
    HMENU menu = g_state.command_menu;
    if (!menu)
        return;
    const bool selected = g_state.plugin_path[0] != '\0';
    auto set = [menu](UINT id, bool enabled) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
    };
    set(kCommandStart, running == 0 && selected);
    set(kCommandStop, running == 1 && selected);
    set(kCommandConfigure, selected);
    set(kCommandUnloadPlugin, selected);
}
