// The popup menu the player's panel opens on a click.
#pragma once

#include <cstdint>

enum MenuCommand : uint32_t {
    kCommandStart = 1,
    kCommandStop = 2,
    kCommandConfigure = 3,
    kCommandSeparator = 4,
    kCommandLoadPlugin = 21,
    kCommandUnloadPlugin = 22,
};

// Creates command_menu with its six items and sets their states for a running plug-in.
void create_command_menu();
void destroy_command_menu();

// Enables and greys the items for the running flag and the current selection.
void update_menu_state(int32_t running);
