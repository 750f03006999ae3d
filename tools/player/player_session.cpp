#include "tools/player/player_session.h"

#include "tools/player/dib_surface.h"
#include "tools/player/frame_capture.h"
#include "tools/player/png_writer.h"
#include "tools/player/picture_sampler.h"
#include "tools/player/visual_data.h"
#include "tools/player/window_creation_watch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

constexpr uint32_t kPanelFill = 0x404040;
constexpr uint32_t kScreenshotBackground = 0x202020;
constexpr int kScreenshotGap = 8;
constexpr int kWindowCheckIntervalMs = 100;
constexpr int kDialogCheckIntervalMs = 500;
// The emulated main window is made again between a module's two init attempts: the run
// counts as ended only when this many looks in a row miss it.
constexpr int kLooksWithoutMainToEnd = 2;

using Clock = std::chrono::steady_clock;

// An unattended run with a plug-in waits for its window, then for a first picture in it,
// and only then counts its seconds.
enum class Phase { kAwaitingWindow, kAwaitingPicture, kTimed };

double seconds_since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int64_t milliseconds_since(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A picture read from the screen shows what lies on top: the player's own window moves to
// the screen's far corner, out of the way of the plug-in's (a move of the player's own
// window on its own thread, so no plug-in can hold it).
void move_out_of_the_way(HWND player)
{
    RECT placed = {};
    if (!GetWindowRect(player, &placed))
        return;
    SetWindowPos(player, HWND_BOTTOM, GetSystemMetrics(SM_CXSCREEN) - (placed.right - placed.left),
                 GetSystemMetrics(SM_CYSCREEN) - (placed.bottom - placed.top), 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

// False when the message queue asked the program to quit.
bool pump_messages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            return false;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

void read_selection(const std::string& settings_file, SessionReport& report)
{
    char path[MAX_PATH] = {};
    GetPrivateProfileStringA("zeko_vis_winamp", "plugin_dll", "", path, sizeof path,
                             settings_file.c_str());
    report.selected_plugin = path;
    report.plugin_selected = path[0] != '\0';
    report.selected_module = static_cast<int32_t>(
        GetPrivateProfileIntA("zeko_vis_winamp", "module_index", 0, settings_file.c_str()));
}

std::string write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return "cannot create " + path;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = fclose(file) == 0;
    return written && closed ? "" : "cannot write " + path;
}

void take_screenshot(const DibSurface& panel, const Image& plugin_picture,
                     const std::string& path, SessionReport& report)
{
    const Image picture =
        place_side_by_side(panel.image(), plugin_picture, kScreenshotGap, kScreenshotBackground);
    report.screenshot_size = {picture.width, picture.height};
    report.screenshot_error = write_file(path, encode_png(picture));
}

void add_dialogs(DialogsSeen seen, DialogsSeen& report)
{
    for (std::string& text : seen.boxes)
        report.boxes.push_back(std::move(text));
    for (std::string& title : seen.dialogs)
        report.dialogs.push_back(std::move(title));
}

}  // namespace

SessionReport run_session(WrapperHost& wrapper, PlayerWindows& windows, const PcmAudio& audio,
                          const PlayerOptions& options, const std::string& settings_file)
{
    SessionReport report;
    read_selection(settings_file, report);
    const bool unattended = options.seconds > 0.0;

    DibSurface canvas;
    PanelEvents events;
    events.resized = [&](int width, int height) {
        // A panel shrunk to nothing still gets its frames: the audio goes on reaching the
        // plug-in through them.
        canvas.create(std::max(width, 1), std::max(height, 1), kPanelFill);
        wrapper.resize(width, height);
    };
    events.clicked = [&] { wrapper.click(); };
    events.paint = [&](HDC dc) {
        if (canvas.ready())
            BitBlt(dc, 0, 0, canvas.width(), canvas.height(), canvas.dc(), 0, 0, SRCCOPY);
    };
    windows.set_events(events);

    WindowCreationWatch watch;
    wrapper.initialize();
    const SIZE panel = windows.panel_size();
    events.resized(panel.cx, panel.cy);

    const Clock::time_point start = Clock::now();
    Clock::time_point measured_from = start;
    Clock::time_point window_shown_at = start;
    Phase phase = report.plugin_selected && unattended ? Phase::kAwaitingWindow : Phase::kTimed;
    const PictureSource source =
        options.from_screen ? PictureSource::kScreen : PictureSource::kSurface;
    bool main_seen = false;
    bool run_over = false;
    int looks_without_main = 0;
    DialogWatcher dialogs;
    PictureSampler sampler;
    int64_t next_window_check_ms = 0;
    int64_t next_dialog_check_ms = 0;
    int64_t next_frame_ms = 0;
    HostVisualData record;
    const auto measure_from_now = [&] {
        measured_from = Clock::now();
        report.measured_frames = 0;
    };

    while (!windows.close_requested() && pump_messages()) {
        const int64_t now_ms = milliseconds_since(start);
        if (phase != Phase::kTimed && now_ms >= next_window_check_ms) {
            const PluginWindows found = find_plugin_windows();
            main_seen = main_seen || found.emulated_main || watch.made().emulated_main;
            looks_without_main = main_seen && !found.emulated_main ? looks_without_main + 1 : 0;
            const bool run_ended = looks_without_main >= kLooksWithoutMainToEnd;
            if (phase == Phase::kAwaitingWindow) {
                if (found.drawing) {
                    report.start = PluginStart::kWindowShown;
                    report.startup_seconds = seconds_since(start);
                    report.drawing_in_frame = found.frame != nullptr;
                    if (options.from_screen)
                        move_out_of_the_way(GetAncestor(windows.panel(), GA_ROOT));
                    window_shown_at = Clock::now();
                    measure_from_now();
                    phase = Phase::kAwaitingPicture;
                } else if (run_ended) {
                    report.start = PluginStart::kRunEnded;
                    run_over = true;
                } else if (seconds_since(start) > kStartupLimitSeconds) {
                    report.start = PluginStart::kNoWindowInTime;
                    run_over = true;
                }
            }
            // A picture is drawn when the window holds more than its background: a black or
            // white surface of a 3D device still starting is no picture yet.
            if (phase == Phase::kAwaitingPicture) {
                if (found.drawing && has_drawing(capture_client(found.drawing, source))) {
                    report.first_picture_seconds = seconds_since(start);
                    measure_from_now();
                    sampler.start(found.drawing);
                    phase = Phase::kTimed;
                } else if (run_ended ||
                           seconds_since(window_shown_at) > options.first_picture_wait) {
                    run_over = true;
                }
            }
            next_window_check_ms = now_ms + kWindowCheckIntervalMs;
        }
        if (unattended && now_ms >= next_dialog_check_ms) {
            add_dialogs(dialogs.look(), report.dialogs);
            next_dialog_check_ms = now_ms + kDialogCheckIntervalMs;
        }
        if (run_over)
            break;
        if (unattended && phase == Phase::kTimed && seconds_since(measured_from) >= options.seconds)
            break;

        if (now_ms >= next_frame_ms) {
            if (canvas.ready()) {
                fill_visual_data(audio, playback_frame(audio, now_ms), record);
                wrapper.render(canvas.dc(), &record);
                ++report.measured_frames;
                ++report.total_frames;
            }
            if (HDC dc = GetDC(windows.panel())) {
                events.paint(dc);
                ReleaseDC(windows.panel(), dc);
            }
            next_frame_ms += kFrameIntervalMs;
            // A frame that came late moves the schedule instead of bunching frames up.
            if (next_frame_ms <= now_ms)
                next_frame_ms = now_ms + kFrameIntervalMs;
        }
        const int64_t wait_ms = next_frame_ms - milliseconds_since(start);
        if (wait_ms > 0)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait_ms), QS_ALLINPUT);
    }
    report.measured_seconds = seconds_since(measured_from);
    const PictureCounts counts = sampler.stop();
    report.picture_changes = counts.changes;
    report.picture_seconds = counts.seconds;
    report.second_init_attempt = watch.made().frame;

    report.windows_at_end = find_plugin_windows();
    const PluginWindows& at_end = report.windows_at_end;
    RECT frame_rect = {};
    if (at_end.frame && GetWindowRect(at_end.frame, &frame_rect))
        report.frame_size = {frame_rect.right - frame_rect.left, frame_rect.bottom - frame_rect.top};
    if (at_end.emulated_main)
        report.module = read_module_info(report.selected_plugin, report.selected_module,
                                         at_end.emulated_main);
    report.drew = at_end.drawing && has_drawing(capture_client(at_end.drawing));
    report.plugin_picture = at_end.frame     ? capture_framed(at_end.frame, source)
                            : at_end.drawing ? capture_client(at_end.drawing, source)
                                             : Image();
    if (!options.screenshot_path.empty())
        take_screenshot(canvas, report.plugin_picture, options.screenshot_path, report);

    const Clock::time_point stop_start = Clock::now();
    wrapper.finalize();
    report.stop_seconds = seconds_since(stop_start);
    return report;
}
