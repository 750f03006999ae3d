#include "tools/player/player_session.h"

#include "tools/player/dib_surface.h"
#include "tools/player/frame_capture.h"
#include "tools/player/png_writer.h"
#include "tools/player/visual_data.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

constexpr uint32_t kPanelFill = 0x404040;
constexpr uint32_t kScreenshotBackground = 0x202020;
constexpr int kScreenshotGap = 8;
// How long a selected plug-in may take to show its window before the timed part starts
// anyway; generous, since an emulated processor makes start-up take many seconds.
constexpr double kStartupLimitSeconds = 180.0;
constexpr int kBoxCheckIntervalMs = 500;

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int64_t milliseconds_since(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
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

void take_screenshot(const DibSurface& panel, const PluginWindows& plugin,
                     const std::string& path, SessionReport& report)
{
    const Image plugin_picture = plugin.frame     ? capture_framed(plugin.frame)
                                 : plugin.drawing ? capture_client(plugin.drawing)
                                                  : Image();
    const Image picture =
        place_side_by_side(panel.image(), plugin_picture, kScreenshotGap, kScreenshotBackground);
    report.screenshot_size = {picture.width, picture.height};
    report.screenshot_error = write_file(path, encode_png(picture));
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

    wrapper.initialize();
    const SIZE panel = windows.panel_size();
    events.resized(panel.cx, panel.cy);

    const Clock::time_point start = Clock::now();
    Clock::time_point measured_from = start;
    bool waiting_for_plugin = report.plugin_selected && unattended;
    bool render_thread_seen = false;
    MessageBoxAnswerer answerer;
    int64_t next_box_check_ms = 0;
    int64_t next_frame_ms = 0;
    HostVisualData record;

    while (!windows.close_requested() && pump_messages()) {
        const int64_t now_ms = milliseconds_since(start);
        if (waiting_for_plugin && now_ms >= next_box_check_ms) {
            const double waited = seconds_since(start);
            const PluginWindows found = find_plugin_windows();
            render_thread_seen = render_thread_seen || found.emulated_main;
            // A plug-in that failed to load has shown its error box or ended its thread.
            const bool gave_up = !report.message_boxes.empty() ||
                                 (render_thread_seen && !found.emulated_main);
            if (found.drawing || gave_up || waited > kStartupLimitSeconds) {
                waiting_for_plugin = false;
                if (found.drawing)
                    report.startup_seconds = waited;
                measured_from = Clock::now();
                report.measured_frames = 0;
            }
        }
        if (unattended && now_ms >= next_box_check_ms) {
            for (std::string& text : answerer.answer_new_boxes())
                report.message_boxes.push_back(std::move(text));
            next_box_check_ms = now_ms + kBoxCheckIntervalMs;
        }
        if (unattended && !waiting_for_plugin && seconds_since(measured_from) >= options.seconds)
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

    report.windows_at_end = find_plugin_windows();
    RECT frame_rect = {};
    if (report.windows_at_end.frame && GetWindowRect(report.windows_at_end.frame, &frame_rect))
        report.frame_size = {frame_rect.right - frame_rect.left, frame_rect.bottom - frame_rect.top};
    if (report.windows_at_end.emulated_main)
        report.module = read_module_info(report.selected_plugin, report.selected_module,
                                         report.windows_at_end.emulated_main);
    if (!options.screenshot_path.empty())
        take_screenshot(canvas, report.windows_at_end, options.screenshot_path, report);

    wrapper.finalize();
    return report;
}
