#include "emulation/emulated_windows.h"

#include "emulation/main_window_thread.h"
#include "emulation/player_sync.h"
#include "emulation/plugin_thread_relay.h"
#include "host/wrapper_state.h"

namespace {

constexpr int kEmbedWidth = 300;
constexpr int kEmbedHeight = 400;

// Both windows follow the player's always-on-top state, and nothing else of its style.
DWORD topmost_style_of_player()
{
    if (!g_state.host_app_window)
        return 0;
    return static_cast<DWORD>(GetWindowLongA(g_state.host_app_window, GWL_EXSTYLE)) &
           WS_EX_TOPMOST;
}

// A class left registered by an earlier run (or another copy of us) stays in use when
// registering fails, so neither result matters.
void register_fresh_class(const char* name, HICON icon)
{
    UnregisterClassA(name, nullptr);
    WNDCLASSA window_class = {};
    window_class.style = CS_GLOBALCLASS;
    window_class.lpfnWndProc = emulated_window_proc;
    window_class.hIcon = icon;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    window_class.lpszClassName = name;
    RegisterClassA(&window_class);
}

}  // namespace

int32_t create_parent_window()
{
    const DWORD ex_style = topmost_style_of_player();
    register_fresh_class(kParentWindowClass, nullptr);
    // The calling thread is the one that runs the plug-in: what the main window does to the
    // plug-in's windows is carried over to it.
    open_plugin_thread_relay();
    HWND window = start_main_window_thread(ex_style);
    g_state.parent_window = window;
    if (!window)
        return kWindowCreationFailed;
    // Plug-ins read the main window's place in their init ("below Winamp, as wide"), before
    // the first synchronisation would have put it there.
    lay_parent_over_player(kSyncPlaceFlags);
    g_state.last_sync_clock = 0;
    return 0;
}

void destroy_parent_window()
{
    g_state.parent_window = nullptr;
    end_main_window_thread();
    close_plugin_thread_relay();
}

int32_t create_embed_window()
{
    const DWORD ex_style = topmost_style_of_player();
    HICON icon = g_state.host_app_window
                     ? reinterpret_cast<HICON>(GetClassLongA(g_state.host_app_window, GCL_HICON))
                     : nullptr;
    register_fresh_class(kEmbedWindowClass, icon);
    HWND window = CreateWindowExA(ex_style, kEmbedWindowClass, kEmbedWindowTitle,
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kEmbedWidth,
                                  kEmbedHeight, nullptr, nullptr, nullptr, nullptr);
    g_state.embed_window = window;
    if (!window)
        return kWindowCreationFailed;

    RECT client = {};
    RECT outer = {};
    if (GetClientRect(window, &client) && GetWindowRect(window, &outer)) {
        g_state.client_width = client.right - client.left;
        g_state.client_height = client.bottom - client.top;
        g_state.frame_extra_width = (outer.right - outer.left) - g_state.client_width;
        g_state.frame_extra_height = (outer.bottom - outer.top) - g_state.client_height;
    }
    return 0;
}
