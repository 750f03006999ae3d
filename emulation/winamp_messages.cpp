#include "emulation/winamp_messages.h"

#include "emulation/embed_window.h"
#include "emulation/forward_to_player.h"
#include "emulation/player_sync.h"
#include "emulation/playlist_title.h"
#include "emulation/plugin_thread_relay.h"
#include "emulation/plugins_folder.h"
#include "emulation/random.h"
#include "emulation/service_objects.h"
#include "emulation/window_kind.h"
#include "host/wrapper_state.h"

namespace {

constexpr LRESULT kReportedVersion = 20499;
constexpr UINT kFrontFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
constexpr UINT kPlaceFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOSENDCHANGING;
constexpr UINT kFrameSizeFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER;

template <typename Pointer>
LRESULT address_of(Pointer pointer)
{
    return reinterpret_cast<LRESULT>(pointer);
}

LRESULT embed_request(WPARAM wparam)
{
    HWND frame = g_state.embed_window;
    if (!frame)
        return 0;
    return wparam == 0 ? address_of(&provide_embed_window) : address_of(frame);
}

// A top-level drawing window ends in front of all others and the player's always-on-top
// state reaches it at the next synchronisation. Done on the plug-in's thread, which owns
// the window.
void place_announced_window(const RelayedCall& call)
{
    HWND drawing = reinterpret_cast<HWND>(call.wparam);
    HWND app = g_state.host_app_window;
    const bool start_topmost = !g_state.embed_window && app && g_state.stop_requested == 0 &&
                               (GetWindowLongA(app, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(drawing, start_topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kFrontFlags);
    SetWindowPos(drawing, HWND_TOPMOST, 0, 0, 0, 0, kFrontFlags);
    SetWindowPos(drawing, HWND_TOP, 0, 0, 0, 0, kFrontFlags);
}

// The plug-in announces its drawing window. A child is only recorded: topmost means
// nothing for it, and the moves would deliver position changes into the plug-in's init,
// before it is ready for them.
LRESULT announce_drawing_window(WPARAM wparam)
{
    HWND drawing = reinterpret_cast<HWND>(wparam);
    g_state.vis_window = drawing;
    if (!drawing || is_child_window(drawing))
        return 1;
    RelayedCall call;
    call.act = place_announced_window;
    call.wparam = wparam;
    run_on_plugin_thread(call);
    return 1;
}

// Shrinks the frame and the drawing window and gives them their size back, so that the
// plug-in sees a real change of size.
void run_resize_cycle(const RelayedCall&)
{
    HWND frame = g_state.embed_window;
    HWND drawing = g_state.vis_window;
    if (!frame || !drawing)
        return;
    const int32_t width = g_state.client_width;
    const int32_t height = g_state.client_height;
    SetWindowPos(drawing, nullptr, 0, 0, 50, 50, 0);
    SetWindowPos(frame, nullptr, 0, 0, 50, 50, kFrameSizeFlags);
    SetWindowPos(drawing, nullptr, 0, 0, width, height, 0);
    SetWindowPos(frame, nullptr, 0, 0, width + g_state.frame_extra_width,
                 height + g_state.frame_extra_height, kFrameSizeFlags);
}

LRESULT resize_cycle()
{
    RelayedCall call;
    call.act = run_resize_cycle;
    run_on_plugin_thread(call);
    return 1;
}

}  // namespace

LRESULT answer_winamp_message(HWND, WPARAM wparam, LPARAM code)
{
    switch (code) {
    case 0:
        return kReportedVersion;
    case 104:
        return 1;
    case 201:
    case 501:
    case 3033:
        return 0;
    case 334:
        ensure_plugins_folder(g_state.ini_path);
        return address_of(g_state.ini_path);
    case 335:
        return address_of(g_state.host_dir);
    case 336:
        return address_of(g_state.plugin_dir);
    case 505:
        return embed_request(wparam);
    case 611:
        return announce_drawing_window(wparam);
    case 631:
        lay_parent_over_player(kPlaceFlags);
        return 1;
    case kPlaylistTitleRequest:
    case kPlaylistTitleWideRequest:
        return answer_playlist_title(wparam, code);
    case 2004:
        return resize_cycle();
    case 3015:
        return address_of(&minimal_standard_random);
    case 3025:
        return address_of(&ServiceDirectory);
    default:
        return forward_to_player(WM_USER, wparam, code);
    }
}
