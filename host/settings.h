// The settings file: where it lies, and the selection it keeps between runs of the player.
#pragma once

// Sets host_dir and ini_path. An ini_path left empty means the settings cannot be kept.
void resolve_settings_path();

// Reads "plugin_dll" into plugin_path and "module_index" into module_index.
void load_settings(const char* path);

// Writes both keys; an empty plugin_path and a module_index below 1 delete their key.
void save_settings(const char* path);
