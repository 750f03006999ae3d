#include "host/settings.h"

#include "host/path_text.h"
#include "host/wrapper_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kSection[] = "zeko_vis_winamp";
const char kFileName[] = "zeko_vis_winamp.ini";
constexpr LPARAM kSettingsDirectoryRequest = 335;

// host_dir: the directory of the executable; left empty when its path does not fit.
void resolve_host_dir()
{
    char exe_path[kPathCapacity];
    const DWORD length = GetModuleFileNameA(nullptr, exe_path, kPathCapacity);
    if (length == 0 || length >= static_cast<DWORD>(kPathCapacity)) {
        g_state.host_dir[0] = '\0';
        return;
    }
    exe_path[length] = '\0';
    cut_at_last_separator(exe_path);
    copy_path(g_state.host_dir, kPathCapacity, exe_path);
}

// The directory the player names, cut to it when it names a file. An answer longer than
// a path buffer holds is refused, so the settings fall back to the executable's directory.
bool directory_from_player(char* directory)
{
    if (!g_state.host_winamp_window)
        return false;
    const LRESULT answer = SendMessageA(g_state.host_winamp_window, WM_USER, 0,
                                        kSettingsDirectoryRequest);
    if (answer == 0)
        return false;
    if (!copy_path(directory, kPathCapacity, reinterpret_cast<const char*>(answer)))
        return false;
    if (file_opens_for_reading(directory))
        cut_at_last_separator(directory);
    return true;
}

}  // namespace

void resolve_settings_path()
{
    resolve_host_dir();

    char directory[kPathCapacity];
    if (!directory_from_player(directory)) {
        if (g_state.host_dir[0] == '\0') {
            g_state.ini_path[0] = '\0';
            return;
        }
        copy_path(directory, kPathCapacity, g_state.host_dir);
    }

    // A directory too long to take the file name gives no settings file rather than a
    // cut name that would point somewhere else.
    if ((needs_separator(directory) && !append_path(directory, kPathCapacity, "\\")) ||
        !append_path(directory, kPathCapacity, kFileName)) {
        g_state.ini_path[0] = '\0';
        return;
    }
    copy_path(g_state.ini_path, kPathCapacity, directory);
}

void load_settings(const char* path)
{
    if (path[0] == '\0') {
        g_state.plugin_path[0] = '\0';
        return;
    }

    // Read into a larger buffer so that a value too long for plugin_path is recognised
    // and dropped instead of being cut into the name of another file.
    char value[1024];
    const DWORD length = GetPrivateProfileStringA(kSection, "plugin_dll", "", value,
                                                  sizeof value, path);
    if (length >= static_cast<DWORD>(kPathCapacity) || !copy_path(g_state.plugin_path, kPathCapacity, value))
        g_state.plugin_path[0] = '\0';

    char number[10];
    if (GetPrivateProfileStringA(kSection, "module_index", "", number, sizeof number, path) != 0)
        g_state.module_index = atoi(number);
}

void save_settings(const char* path)
{
    if (path[0] == '\0')
        return;

    WritePrivateProfileStringA(kSection, "plugin_dll",
                               g_state.plugin_path[0] != '\0' ? g_state.plugin_path : nullptr, path);
    if (g_state.module_index >= 1) {
        char number[16];
        _itoa(g_state.module_index, number, 10);
        WritePrivateProfileStringA(kSection, "module_index", number, path);
    } else {
        WritePrivateProfileStringA(kSection, "module_index", nullptr, path);
    }
}
