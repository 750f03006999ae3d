// Winamp always has a "Plugins" folder beside its settings file, and plug-ins keep files of
// their own there (presets, state) without checking that it exists.
#pragma once

// Creates the "Plugins" folder beside the settings file when it is missing.
void ensure_plugins_folder(const char* ini_path);
