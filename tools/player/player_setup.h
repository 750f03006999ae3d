// What the player arranges before it starts the wrapper: the audio it plays and the
// plug-in chosen in the wrapper's settings file.
#pragma once

#include "tools/player/pcm_audio.h"

#include <cstdint>
#include <string>

// The directory of zeko_player.exe, without a trailing separator.
std::string executable_dir();

// The full path of a file named relative to the current directory.
std::string full_path(const std::string& path);

// Reads and decodes a WAV file; error is empty on success.
PcmAudio load_wav_file(const std::string& path, std::string& error);

// The wrapper's settings file inside dir.
std::string settings_file_in(const std::string& dir);

// Writes the plug-in and module into the settings file the way the wrapper's own menu
// leaves them: module 0 is the absence of the key. Returns false when the file could not
// be written.
bool select_plugin(const std::string& settings_file, const std::string& plugin_path,
                   int32_t module_index);
