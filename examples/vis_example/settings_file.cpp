#include "settings_file.h"

#include <windows.h>

namespace {

// A section of our own, so a shared file's other owners are never disturbed.
constexpr char kSection[] = "vis_example";
constexpr DWORD kValueCapacity = 64;

}  // namespace

VisSettings load_settings(const char* ini_path)
{
    std::vector<SettingText> texts = format_settings(VisSettings());
    for (SettingText& entry : texts) {
        char value[kValueCapacity] = {};
        GetPrivateProfileStringA(kSection, entry.key, "", value, kValueCapacity, ini_path);
        entry.text = value;
    }
    return parse_settings(texts);
}

bool save_settings(const char* ini_path, const VisSettings& settings)
{
    bool written = true;
    for (const SettingText& entry : format_settings(settings))
        written &= WritePrivateProfileStringA(kSection, entry.key, entry.text.c_str(),
                                              ini_path) != FALSE;
    return written;
}
