// The one process-wide run-time record of the wrapper. Every routine reaches it through
// g_state; nothing of it lives on the heap.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

struct WinampVisModule;
struct EmbedWindowState;

constexpr int kPathCapacity = 260;

struct WrapperState {
    // Windows; 0 means none.
    HWND host_app_window = nullptr;
    HWND host_winamp_window = nullptr;
    std::atomic<HWND> parent_window{nullptr};
    std::atomic<HWND> embed_window{nullptr};
    std::atomic<HWND> vis_window{nullptr};

    // Paths: 8-bit ANSI, zero-terminated.
    char host_dir[kPathCapacity] = {};
    char ini_path[kPathCapacity] = {};
    char plugin_dir[kPathCapacity] = {};
    char plugin_path[kPathCapacity] = {};

    // Selection and the loaded plug-in.
    int32_t module_index = 0;
    HMODULE plugin_library = nullptr;
    std::atomic<WinampVisModule*> active_module{nullptr};
    std::atomic<uint8_t> waveform_wanted{0};
    std::atomic<uint8_t> spectrum_wanted{0};

    // Render thread and what it shares with the player's thread.
    HANDLE render_thread = nullptr;
    // Set by the render thread as its first act, so code that plug-ins call can tell it
    // from the player's thread.
    std::atomic<DWORD> render_thread_id{0};
    // Raised by the render thread as its last act: Render learns that the run ended without
    // asking the system about the thread on every frame.
    std::atomic<int32_t> render_thread_ended{0};
    std::atomic<int32_t> stop_requested{0};
    CRITICAL_SECTION audio_lock = {};
    bool audio_lock_ready = false;
    uint8_t waveform_staging[1024] = {};
    uint8_t spectrum_staging[512] = {};
    std::atomic<int32_t> data_pending{0};
    std::atomic<int32_t> sample_rate_hz{44100};
    std::atomic<int32_t> init_in_progress{0};
    // Set while either init attempt runs: the plug-in's windows are not ready for what our
    // windows would pass on to them.
    std::atomic<int32_t> module_initialising{0};
    std::atomic<int32_t> rand_state{0};
    std::atomic<int32_t> last_sync_clock{0};

    // Embed window geometry.
    std::atomic<int32_t> client_width{0};
    std::atomic<int32_t> client_height{0};
    int32_t frame_extra_width = 0;
    int32_t frame_extra_height = 0;
    std::atomic<EmbedWindowState*> embed_state{nullptr};

    // The player-side panel.
    HMENU command_menu = nullptr;
    int32_t last_panel_clock = -10000;
};

extern WrapperState g_state;
