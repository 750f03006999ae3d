// Reading and writing keys of an ini file the way the wrapper's settings do.
#pragma once

#include <string>

// The key's value, or "<missing>" when the key is not there.
std::string ini_value(const std::string& path, const char* section, const char* key);
void set_ini_value(const std::string& path, const char* section, const char* key, const std::string& value);
bool file_exists(const std::string& path);
