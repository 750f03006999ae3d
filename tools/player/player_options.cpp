#include "tools/player/player_options.h"

#include "host/module_suffix.h"

#include <cmath>
#include <cstdlib>
#include <vector>

const char kPlayerUsage[] =
    "usage: zeko_player [--plugin FILE[$N]] [--wav FILE] [--seconds N] [--first-picture-wait S]\n"
    "                   [--screenshot FILE.png] [--settings DIR] [--settings-from DIR]\n"
    "                   [--from-screen]\n"
    "       zeko_player --survey DIR [--seconds N] [--first-picture-wait S] [--out DIR]\n"
    "                   [--settings-from DIR] [--from-screen]\n"
    "  --plugin FILE      select this Winamp plug-in (module N with the $N suffix) in the\n"
    "                     wrapper's settings before it starts\n"
    "  --wav FILE         play a 16-bit PCM WAV file instead of the built-in piece\n"
    "  --seconds N        run unattended: render for N seconds from the plug-in's first\n"
    "                     picture, answer message boxes, then finish\n"
    "                     (default: until the main window is closed)\n"
    "  --first-picture-wait S  how long an unattended run waits for that first picture once\n"
    "                     the plug-in's window is there (default 60)\n"
    "  --screenshot FILE  at the end, save the panel and the plug-in's frame as a PNG\n"
    "  --settings DIR     the directory the player names for the wrapper's settings file\n"
    "                     (default: beside zeko_player.exe)\n"
    "  --settings-from DIR  copy what DIR holds into the settings directory before the\n"
    "                     run (into each run's, in a survey): plug-ins' saved state\n"
    "  --survey DIR       run every module of every vis*.dll in DIR for --seconds (default 4),\n"
    "                     each in a process of its own, and write survey.md and survey.png\n"
    "  --out DIR          where the survey writes (default: out)\n"
    "  --from-screen      read the plug-in's pictures from the screen, as a display with a\n"
    "                     real screen shows them (the display lane)\n";

namespace {

constexpr double kLongestRunSeconds = 24.0 * 3600.0;

bool parse_seconds(const std::string& text, double& seconds)
{
    char* end = nullptr;
    const double value = strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value <= 0.0 ||
        value > kLongestRunSeconds)
        return false;
    seconds = value;
    return true;
}

void take_plugin(const std::string& text, PlayerOptions& options)
{
    std::vector<char> name(text.begin(), text.end());
    name.push_back('\0');
    options.module_index = take_module_suffix(name.data());
    options.plugin_path = name.data();
}

}  // namespace

OptionsResult parse_player_options(int argc, const char* const* argv)
{
    OptionsResult result;
    PlayerOptions& options = result.options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            options.show_help = true;
            continue;
        }
        if (name == "--from-screen") {
            options.from_screen = true;
            continue;
        }
        const bool takes_value = name == "--plugin" || name == "--wav" || name == "--seconds" ||
                                 name == "--first-picture-wait" ||
                                 name == "--screenshot" || name == "--settings" ||
                                 name == "--settings-from" ||
                                 name == "--survey" || name == "--out" ||
                                 name == "--list-modules" || name == "--report";
        if (!takes_value) {
            result.error = "unknown option " + name;
            return result;
        }
        if (i + 1 >= argc || std::string(argv[i + 1]).empty()) {
            result.error = name + " needs a value";
            return result;
        }
        const std::string value = argv[++i];
        if (name == "--plugin") {
            take_plugin(value, options);
        } else if (name == "--wav") {
            options.wav_path = value;
        } else if (name == "--seconds") {
            if (!parse_seconds(value, options.seconds)) {
                result.error = "--seconds needs a number of seconds above 0, not " + value;
                return result;
            }
        } else if (name == "--first-picture-wait") {
            if (!parse_seconds(value, options.first_picture_wait)) {
                result.error = "--first-picture-wait needs a number of seconds above 0, not " + value;
                return result;
            }
        } else if (name == "--screenshot") {
            options.screenshot_path = value;
        } else if (name == "--settings") {
            options.settings_dir = value;
        } else if (name == "--settings-from") {
            options.settings_from = value;
        } else if (name == "--survey") {
            options.survey_dir = value;
        } else if (name == "--out") {
            options.out_dir = value;
        } else if (name == "--list-modules") {
            options.list_modules_path = value;
        } else {
            options.report_path = value;
        }
    }
    return result;
}
