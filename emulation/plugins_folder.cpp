#include "emulation/plugins_folder.h"

#include "host/path_text.h"
#include "host/wrapper_state.h"

#include <windows.h>

bool ensure_plugins_folder(const char* ini_path)
{
    char folder[kPathCapacity];
    if (!copy_path(folder, sizeof folder, ini_path) || !cut_at_last_separator(folder) ||
        !append_path(folder, sizeof folder, "\\Plugins"))
        return false;
    return CreateDirectoryA(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}
