// The one process-wide run-time record of the wrapper. Every routine reaches it through
// g_state; nothing of it lives on the heap.
//
// Threads, and what each owns:
// - the player's thread: the object's operations, the panel, the menu and the file dialog;
//   it writes the player's windows, the paths, the selection and the staging buffers, and
//   starts and stops runs (stop_requested, render_thread). For the probe of a new choice it
//   is briefly the plug-in's thread, and it runs the teardown after a forced stop.
// - the render thread (Winamp's vis thread): the plug-in's entries, the frame window
//   (embed_window), the plug-in's own windows and the relay that carries the main window's
//   work on them over (plugin_thread_relay.h); it writes embed_window, frame_extra_*,
//   init_in_progress, module_initialising, rand_state, last_sync_clock, sample_rate_hz,
//   active_module and, through the frame's procedure and the embed function, client_*
//   and embed_state.
// - the main window's thread: parent_window alone (main_window_thread.h); it only pumps
//   and answers. Its procedure writes vis_window (message 611), clears parent_window (the
//   cancel-mode rule) and sets stop_requested (a WM_QUIT or a fault in a subclass).
// - the plug-in's own threads: foreign; they reach these fields only through the main
//   window's answers and the functions it hands out (the embed function writes client_*
//   and embed_state on whatever thread calls it).
// Every field written on one thread and read on another is atomic; the staging buffers are
// copied under audio_lock. No lock is held while plug-in code runs.
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
