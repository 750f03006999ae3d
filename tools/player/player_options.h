// The reference player's command line.
#pragma once

#include <cstdint>
#include <string>

struct PlayerOptions {
    // Empty: the plug-in the settings file already names stays selected.
    std::string plugin_path;
    // From a "$N" suffix of the plug-in's name, as the wrapper's own file choice reads it.
    int32_t module_index = 0;
    // Empty: the built-in synthesized piece.
    std::string wav_path;
    // 0: until the main window is closed.
    double seconds = 0.0;
    // How long an unattended run waits, from the plug-in's window appearing, for the first
    // picture drawn in it; the seconds above are counted from that picture.
    double first_picture_wait = 60.0;
    std::string screenshot_path;
    // Empty: the settings file lies beside the player's executable.
    std::string settings_dir;
    // A folder whose contents are copied into the settings folder before the run (into
    // each run's, in a survey): the plug-ins' saved state, say.
    std::string settings_from;
    bool show_help = false;
    // Pictures are read from the screen, as a display shows them, not from the windows'
    // surfaces (which hold no OpenGL pixels of a child window under some X11 drivers).
    bool from_screen = false;
    // Survey every vis*.dll of this folder instead of one run.
    std::string survey_dir;
    // Where the survey writes survey.md, survey.png and each run's output.
    std::string out_dir = "out";
    // Used by the survey for its child processes: list the modules of this plug-in DLL.
    std::string list_modules_path;
    // Used by the survey for its child processes: where the run's facts are written.
    std::string report_path;
};

struct OptionsResult {
    PlayerOptions options;
    // Empty when the command line was understood.
    std::string error;
};

OptionsResult parse_player_options(int argc, const char* const* argv);

extern const char kPlayerUsage[];
