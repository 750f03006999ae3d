// One run of the player: Initialize, a frame every 25 ms until the time is up or the main
// window is closed, the screenshot, Finalize.
#pragma once

#include "tools/player/module_info.h"
#include "tools/player/pcm_audio.h"
#include "tools/player/player_options.h"
#include "tools/player/player_windows.h"
#include "tools/player/plugin_windows.h"
#include "tools/player/wrapper_host.h"

#include <string>
#include <vector>

constexpr int kFrameIntervalMs = 25;

struct SessionReport {
    bool plugin_selected = false;
    std::string selected_plugin;
    int32_t selected_module = 0;
    // Seconds from Initialize until the plug-in's window appeared; negative when it never did.
    double startup_seconds = -1.0;
    // Frames and time counted from the plug-in's start (or from Initialize without one).
    int measured_frames = 0;
    double measured_seconds = 0.0;
    int total_frames = 0;
    PluginWindows windows_at_end;
    SIZE frame_size = {0, 0};
    ModuleInfo module;
    std::vector<std::string> message_boxes;
    std::string screenshot_error;
    SIZE screenshot_size = {0, 0};
};

SessionReport run_session(WrapperHost& wrapper, PlayerWindows& windows, const PcmAudio& audio,
                          const PlayerOptions& options, const std::string& settings_file);
