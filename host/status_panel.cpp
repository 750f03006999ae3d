// Render: hands the player's audio to the render thread and paints the status panel.
#include "host/plugin_object.h"

#include "host/wrapper_state.h"
#include "runtime/render_thread.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr int kSpectrumOffset = 8;
constexpr int kWaveformOffset = 520;
constexpr int32_t kPanelIntervalTicks = 250;

// The ended flag is read every frame; the exact question to the system, which also finds
// a thread that a plug-in ended some other way, is asked only at the panel's pace.
void hand_off_audio(const uint8_t* visual_data, bool check_thread)
{
    if (!g_state.render_thread)
        return;
    if (g_state.render_thread_ended || (check_thread && !is_render_thread_running())) {
        // The run ended by itself: collect it; nothing is staged for it any more.
        stop_render_thread();
        return;
    }
    EnterCriticalSection(&g_state.audio_lock);
    g_state.data_pending = 1;
    if (g_state.waveform_wanted != 0)
        memcpy(g_state.waveform_staging, visual_data + kWaveformOffset, sizeof g_state.waveform_staging);
    if (g_state.spectrum_wanted != 0)
        memcpy(g_state.spectrum_staging, visual_data + kSpectrumOffset, sizeof g_state.spectrum_staging);
    LeaveCriticalSection(&g_state.audio_lock);
}

void paint_status_panel(VisualPluginObject* self, HDC dc, int32_t now)
{
    g_state.last_panel_clock = now;

    SelectObject(dc, GetStockObject(DKGRAY_BRUSH));
    Rectangle(dc, 0, 0, self->panel_width, self->panel_height);
    SetBkColor(dc, RGB(64, 64, 64));

    SetTextColor(dc, RGB(255, 155, 43));
    const wchar_t* name = self->operation_table->GetName(self);
    TextOutW(dc, 6, 5, name, static_cast<int>(wcslen(name)));

    SetTextColor(dc, RGB(192, 192, 192));
    static const char kHint[] = "Left mouse button for options";
    TextOutA(dc, 6, 21, kHint, sizeof kHint - 1);

    // snprintf keeps the line within its 256 bytes: a path longer than the 240 characters
    // left after the label is shown cut at the end of the buffer.
    SetTextColor(dc, RGB(128, 128, 128));
    char line[256];
    if (g_state.plugin_path[0] != '\0')
        snprintf(line, sizeof line, "Loaded plugin: %s", g_state.plugin_path);
    else
        snprintf(line, sizeof line, "No plugin loaded");
    TextOutA(dc, 6, 45, line, static_cast<int>(strlen(line)));
}

}  // namespace

void __stdcall Render(VisualPluginObject* self, HDC dc, const uint8_t* visual_data)
{
    const int32_t now = static_cast<int32_t>(clock());
    const bool panel_due = now >= g_state.last_panel_clock + kPanelIntervalTicks;
    hand_off_audio(visual_data, panel_due);
    if (panel_due)
        paint_status_panel(self, dc, now);
}
