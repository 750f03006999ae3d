#include "tools/player/player_setup.h"

#include "tools/player/wav_reader.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

constexpr char kSettingsSection[] = "zeko_vis_winamp";
constexpr char kSettingsFileName[] = "zeko_vis_winamp.ini";

}  // namespace

std::string executable_dir()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string whole(path, length < MAX_PATH ? length : 0);
    const size_t separator = whole.find_last_of("\\/");
    return separator == std::string::npos ? "." : whole.substr(0, separator);
}

std::string full_path(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

PcmAudio load_wav_file(const std::string& path, std::string& error)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path;
        return PcmAudio();
    }
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t count = 0;
    while ((count = fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + count);
    const bool failed = ferror(file) != 0;
    fclose(file);
    if (failed) {
        error = "cannot read " + path;
        return PcmAudio();
    }
    WavReadResult result = read_wav(bytes.data(), bytes.size());
    if (!result.error.empty())
        error = path + ": " + result.error;
    return std::move(result.audio);
}

std::string settings_file_in(const std::string& dir)
{
    const bool has_separator = !dir.empty() && (dir.back() == '\\' || dir.back() == '/');
    return dir + (has_separator ? "" : "\\") + kSettingsFileName;
}

bool select_plugin(const std::string& settings_file, const std::string& plugin_path,
                   int32_t module_index)
{
    const std::string index_text = std::to_string(module_index);
    const bool plugin_written = WritePrivateProfileStringA(kSettingsSection, "plugin_dll",
                                                           plugin_path.c_str(), settings_file.c_str());
    const bool index_written =
        WritePrivateProfileStringA(kSettingsSection, "module_index",
                                   module_index > 0 ? index_text.c_str() : nullptr,
                                   settings_file.c_str());
    return plugin_written && index_written;
}
