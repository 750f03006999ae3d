// One run of the player: Initialize, a frame every 25 ms until the time is up, the run
// ends or the main window is closed, the screenshot, Finalize. An unattended run counts its
// time from the plug-in's first drawn picture, so a slow start is never cut short.
#pragma once

#include "tools/player/image.h"
#include "tools/player/module_info.h"
#include "tools/player/pcm_audio.h"
#include "tools/player/player_options.h"
#include "tools/player/player_windows.h"
#include "tools/player/plugin_windows.h"
#include "tools/player/wrapper_host.h"

#include <string>
#include <vector>

constexpr int kFrameIntervalMs = 25;
// How long a selected plug-in may take to show its window in an unattended run.
constexpr double kStartupLimitSeconds = 30.0;

enum class PluginStart {
    kNotAwaited,    // no plug-in selected, or a run until the window is closed
    kWindowShown,
    kRunEnded,      // the wrapper's windows came and went without a drawing window
    kNoWindowInTime,
};

struct SessionReport {
    bool plugin_selected = false;
    std::string selected_plugin;
    int32_t selected_module = 0;
    PluginStart start = PluginStart::kNotAwaited;
    // Seconds from Initialize until the plug-in's window appeared; negative when it never did.
    double startup_seconds = -1.0;
    // Where the drawing window was when it appeared: in the wrapper's frame or on its own.
    bool drawing_in_frame = false;
    // The wrapper made the frame, which it does only after a failed first init attempt.
    bool second_init_attempt = false;
    // Seconds from Initialize until the drawing window first held a drawn picture;
    // negative when none came within the wait or before the run ended.
    double first_picture_seconds = -1.0;
    // Frames and time counted from the plug-in's first picture (from its window when none
    // came, from Initialize without a plug-in).
    int measured_frames = 0;
    double measured_seconds = 0.0;
    int total_frames = 0;
    PluginWindows windows_at_end;
    SIZE frame_size = {0, 0};
    ModuleInfo module;
    DialogsSeen dialogs;
    // The plug-in's window as it looked at the end (with the frame's caption when framed).
    Image plugin_picture;
    // The drawing window at the end held more than one colour.
    bool drew = false;
    // How often the drawing window's picture changed while it was timed.
    int picture_changes = 0;
    double picture_seconds = 0.0;
    double stop_seconds = 0.0;  // how long Finalize took
    std::string screenshot_error;
    SIZE screenshot_size = {0, 0};
};

SessionReport run_session(WrapperHost& wrapper, PlayerWindows& windows, const PcmAudio& audio,
                          const PlayerOptions& options, const std::string& settings_file);
