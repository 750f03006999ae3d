// The plug-in's section in the host's settings file.
#pragma once

#include "settings_text.h"

// The settings from `ini_path`; the defaults for whatever is missing.
VisSettings load_settings(const char* ini_path);
// Writes every key; other sections and keys of the file stay as they are. False when the
// file cannot be written.
bool save_settings(const char* ini_path, const VisSettings& settings);
