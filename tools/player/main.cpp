// zeko_player: a small reference player that hosts zeko_vis_winamp.dll the way the ZEKO
// player does, feeding it a built-in piece or a WAV file, and reports what it saw.
#include "tools/player/folder_tree.h"
#include "tools/player/player_options.h"
#include "tools/player/player_session.h"
#include "tools/player/player_setup.h"
#include "tools/player/survey.h"
#include "tools/player/synth_piece.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kExitSetupFailed = 1;
constexpr int kExitPluginNotRunning = 2;

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::wstring widen(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

std::string file_name_of(const std::string& path)
{
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

void print_report(const SessionReport& report, const PlayerOptions& options)
{
    if (report.plugin_selected)
        printf("zeko_player: plug-in: %s, module %d\n", report.selected_plugin.c_str(),
               report.selected_module);
    else
        printf("zeko_player: plug-in: none selected\n");
    switch (report.start) {
    case PluginStart::kWindowShown:
        printf("zeko_player: the plug-in's window appeared %.1f s after Initialize\n",
               report.startup_seconds);
        if (report.first_picture_seconds >= 0.0)
            printf("zeko_player: its first picture %.1f s after Initialize; the timed run "
                   "starts there\n",
                   report.first_picture_seconds);
        else if (!report.windows_at_end.emulated_main)
            printf("zeko_player: its run ended before it drew a picture\n");
        else
            printf("zeko_player: no picture drawn within %g s of its window\n",
                   options.first_picture_wait);
        break;
    case PluginStart::kRunEnded:
        printf("zeko_player: %s; no window appeared\n",
               report.dialogs.boxes.empty() ? "the plug-in's init failed"
                                            : "the plug-in did not start");
        break;
    case PluginStart::kNoWindowInTime:
        printf("zeko_player: no window appeared within %.0f s\n", kStartupLimitSeconds);
        break;
    case PluginStart::kNotAwaited:
        break;
    }
    const double rate =
        report.measured_seconds > 0.0 ? report.measured_frames / report.measured_seconds : 0.0;
    printf("zeko_player: rendered %d frames in %.2f s: %.1f frames/s (one every %d ms asked: "
           "%.1f frames/s); %d frames in all\n",
           report.measured_frames, report.measured_seconds, rate, kFrameIntervalMs,
           1000.0 / kFrameIntervalMs, report.total_frames);
    if (report.module.found) {
        const int delay = report.module.frame_delay_ms;
        printf("zeko_player: module \"%s\" of \"%s\" asks for a frame every %d ms (%.1f frames/s)\n",
               report.module.module_description.c_str(), report.module.plugin_description.c_str(),
               delay, delay > 0 ? 1000.0 / delay : 0.0);
    }
    const PluginWindows& windows = report.windows_at_end;
    if (!windows.emulated_main)
        printf("zeko_player: plug-in state: not running\n");
    else if (windows.frame && windows.drawing)
        printf("zeko_player: plug-in state: running, drawing in its %ldx%ld frame window\n",
               report.frame_size.cx, report.frame_size.cy);
    else if (windows.drawing)
        printf("zeko_player: plug-in state: running, drawing in a window of its own\n");
    else
        printf("zeko_player: plug-in state: running, no drawing window\n");
    for (const std::string& text : report.dialogs.boxes)
        printf("zeko_player: message box answered: %s\n", text.c_str());
    for (const std::string& title : report.dialogs.dialogs)
        printf("zeko_player: dialog left open: %s\n", title.c_str());
    if (!options.screenshot_path.empty()) {
        if (report.screenshot_error.empty())
            printf("zeko_player: screenshot: %s (%ldx%ld)\n", options.screenshot_path.c_str(),
                   report.screenshot_size.cx, report.screenshot_size.cy);
        else
            printf("zeko_player: screenshot failed: %s\n", report.screenshot_error.c_str());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const OptionsResult parsed = parse_player_options(argc, argv);
    if (!parsed.error.empty()) {
        fprintf(stderr, "zeko_player: %s\n%s", parsed.error.c_str(), kPlayerUsage);
        return kExitSetupFailed;
    }
    const PlayerOptions& options = parsed.options;
    if (options.show_help) {
        printf("zeko_player %s\n%s", ZEKO_VERSION, kPlayerUsage);
        return 0;
    }
    if (!options.survey_dir.empty())
        return run_survey(options);
    if (!options.list_modules_path.empty())
        return write_module_listing(options.list_modules_path, options.report_path)
                   ? 0
                   : kExitSetupFailed;

    std::string error;
    PcmAudio audio;
    std::wstring title;
    if (options.wav_path.empty()) {
        audio = synthesize_piece();
        title = L"1. ZEKO reference player - Chords and beats - Winamp";
    } else {
        audio = load_wav_file(options.wav_path, error);
        if (!error.empty()) {
            fprintf(stderr, "zeko_player: %s\n", error.c_str());
            return kExitSetupFailed;
        }
        title = L"1. " + widen(file_name_of(options.wav_path)) + L" - Winamp";
    }
    printf("zeko_player: audio: %s, %d Hz, %.1f s\n",
           options.wav_path.empty() ? "built-in piece" : options.wav_path.c_str(),
           audio.sample_rate, static_cast<double>(audio.frame_count()) / audio.sample_rate);

    const std::string settings_dir = options.settings_dir.empty() ? "" : full_path(options.settings_dir);
    if (!settings_dir.empty() && !CreateDirectoryA(settings_dir.c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
        fprintf(stderr, "zeko_player: cannot create the settings directory %s\n", settings_dir.c_str());
        return kExitSetupFailed;
    }
    const std::string settings_home = settings_dir.empty() ? executable_dir() : settings_dir;
    if (!options.settings_from.empty()) {
        const std::string error =
            copy_folder_contents(full_path(options.settings_from), settings_home);
        if (!error.empty()) {
            fprintf(stderr, "zeko_player: %s\n", error.c_str());
            return kExitSetupFailed;
        }
    }
    // After the copy: the chosen plug-in wins over one that the copied settings name.
    const std::string settings_file = settings_file_in(settings_home);
    if (!options.plugin_path.empty() &&
        !select_plugin(settings_file, full_path(options.plugin_path), options.module_index)) {
        fprintf(stderr, "zeko_player: cannot write %s\n", settings_file.c_str());
        return kExitSetupFailed;
    }

    const std::string dll_path = executable_dir() + "\\zeko_vis_winamp.dll";
    WrapperHost wrapper(dll_path);
    if (!wrapper.loaded()) {
        fprintf(stderr, "zeko_player: %s\n", wrapper.error().c_str());
        return kExitSetupFailed;
    }
    PlayerWindows windows(settings_dir, audio.sample_rate / 1000, title);
    if (!windows.created()) {
        fprintf(stderr, "zeko_player: cannot create the player's windows (error %lu)\n", GetLastError());
        return kExitSetupFailed;
    }
    windows.set_app_title(L"ZEKO reference player - " + wrapper.name());
    printf("zeko_player: wrapper: %s (%s), settings: %s\n", narrow(wrapper.name()).c_str(),
           dll_path.c_str(), settings_file.c_str());
    fflush(stdout);

    const SessionReport report = run_session(wrapper, windows, audio, options, settings_file);
    print_report(report, options);
    if (!options.report_path.empty() && !write_run_facts(report, options.report_path)) {
        fprintf(stderr, "zeko_player: cannot write %s\n", options.report_path.c_str());
        return kExitSetupFailed;
    }

    const bool started = report.start != PluginStart::kRunEnded &&
                         report.start != PluginStart::kNoWindowInTime;
    const bool plugin_ran = !report.plugin_selected ||
                            (started && report.windows_at_end.emulated_main &&
                             report.dialogs.boxes.empty());
    if (report.total_frames == 0 || !report.screenshot_error.empty() || !plugin_ran)
        return kExitPluginNotRunning;
    return 0;
}
