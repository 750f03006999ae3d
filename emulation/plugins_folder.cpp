#include "emulation/plugins_folder.h"

#include "host/path_text.h"
#include "host/wrapper_state.h"

#include <windows.h>

void ensure_plugins_folder(const char* ini_path)
{
    char folder[kPathCapacity];
    // A folder that cannot be made is the plug-in's to find out, as it would in Winamp.
    if (copy_path(folder, sizeof folder, ini_path) && cut_at_last_separator(folder) &&
        append_path(folder, sizeof folder, "\\Plugins"))
        CreateDirectoryA(folder, nullptr);
}
