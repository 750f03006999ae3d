#include "tests/support/ini_file.h"

#include <windows.h>

#include <vector>

std::string ini_value(const std::string& path, const char* section, const char* key)
{
    std::vector<char> value(20000);
    GetPrivateProfileStringA(section, key, "<missing>", value.data(), static_cast<DWORD>(value.size()),
                             path.c_str());
    return value.data();
}

void set_ini_value(const std::string& path, const char* section, const char* key, const std::string& value)
{
    WritePrivateProfileStringA(section, key, value.c_str(), path.c_str());
}

bool file_exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
