// The window procedure of both emulated windows: the main window's runs on the main
// window's thread, the frame's on the plug-in's thread. It never waits on another thread
// except for the bounded forward of WM_COMMAND to the player and the bounded hand-over of
// work to the plug-in's thread.
#include "emulation/embed_window_state.h"
#include "emulation/emulated_windows.h"
#include "emulation/forward_to_player.h"
#include "emulation/message_records.h"
#include "emulation/plugin_thread_relay.h"
#include "emulation/winamp_messages.h"
#include "host/wrapper_state.h"
#include "runtime/memory_access.h"

namespace {

// No name in the headers; the keystroke range that reaches a frame ends here.
constexpr UINT kKeyLast = 0x0108;

// SWP_NOSIZE | SWP_NOMOVE | SWP_NOOWNERZORDER: the frame is raised and activated only.
constexpr UINT kBringToFrontFlags = 0x0203;

// The plug-in's drawing window, when what it announced is a window and not one of ours.
// Ours would have every message passed on come back here, and a keystroke re-posted for
// ever; a value that is no window may be HWND_BROADCAST (0xFFFF), which would pass each
// one on to every top-level window of the desktop.
HWND drawing_window()
{
    HWND vis = g_state.vis_window;
    if (!vis || vis == g_state.parent_window || vis == g_state.embed_window || !IsWindow(vis))
        return nullptr;
    return vis;
}

void notify_vis_window(UINT message, WPARAM wparam, LPARAM lparam);

void notify_from_plugin_thread(const RelayedCall& call)
{
    notify_vis_window(call.message, call.wparam, call.lparam);
}

// Passed on from the plug-in's thread: the main window's own moves, told on its thread, are
// carried over there first. Same thread (the normal case) runs the plug-in's procedure at
// once; another thread's window gets it queued, so this never blocks. The asynchronous send
// refuses messages that carry a pointer (the WINDOWPOS of a position change), whatever the
// thread, so a window of this thread is called directly: that does not wait either. Nothing
// is passed on while the module's init runs: Winamp tells a plug-in's window nothing of its
// own windows' moves then, and a plug-in may not be ready for it before its init returns.
void notify_vis_window(UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND vis = drawing_window();
    if (!vis || g_state.module_initialising)
        return;
    if (!on_plugin_thread()) {
        RelayedCall call;
        call.act = notify_from_plugin_thread;
        call.message = message;
        call.wparam = wparam;
        call.lparam = lparam;
        run_on_plugin_thread(call);
        return;
    }
    if (GetWindowThreadProcessId(vis, nullptr) == GetCurrentThreadId())
        SendMessageA(vis, message, wparam, lparam);
    else
        SendNotifyMessageA(vis, message, wparam, lparam);
}

void fit_vis_window_on_show()
{
    HWND vis = drawing_window();
    if (vis)
        MoveWindow(vis, 0, 0, g_state.client_width, g_state.client_height, TRUE);
}

// Once at the end of a move or resize: the drawing window takes the new client size and
// the plug-in's record the frame's new screen rectangle. A record the plug-in has since
// made unwritable is forgotten, not written.
void finish_size_move(HWND window)
{
    HWND vis = drawing_window();
    if (vis)
        SetWindowPos(vis, HWND_TOP, 0, 0, g_state.client_width, g_state.client_height, 0);
    EmbedWindowState* state = g_state.embed_state;
    if (!state)
        return;
    if (is_writable_memory(&state->window_rect, sizeof state->window_rect))
        GetWindowRect(window, &state->window_rect);
    else
        g_state.embed_state = nullptr;
}

// A frame shown behind other windows comes to the front once and takes the focus; the
// nested position changes carry no SWP_SHOWWINDOW, so this does not recurse.
void bring_shown_frame_to_front(HWND window, LPARAM lparam)
{
    const auto* position = reinterpret_cast<const WINDOWPOS*>(lparam);
    if (!position || !(position->flags & SWP_SHOWWINDOW))
        return;
    if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST)
        return;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kBringToFrontFlags);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kBringToFrontFlags);
    SetFocus(window);
}

// Only during a module's first init, before any frame or drawing window exists: the
// main window goes, and the render thread makes a new one for the second attempt.
void cancel_mode(HWND window)
{
    if (window != g_state.parent_window || g_state.embed_window || g_state.vis_window ||
        !g_state.init_in_progress)
        return;
    g_state.parent_window = nullptr;
    DestroyWindow(window);
}

}  // namespace

LRESULT CALLBACK emulated_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    // A record no receiver could use gets the answer of a message nobody handled.
    if (!message_record_usable(message, wparam, lparam))
        return 0;
    const bool is_embed = window == g_state.embed_window;
    switch (message) {
    case WM_CREATE:
    case WM_ENTERSIZEMOVE:
        return 0;
    case WM_MOVE:
        if (window == g_state.parent_window)
            ShowWindow(window, SW_HIDE);
        notify_vis_window(message, wparam, lparam);
        return 1;
    case WM_SIZE:
        if (is_embed && lparam != 0) {
            g_state.client_width = static_cast<int16_t>(LOWORD(lparam));
            g_state.client_height = static_cast<int16_t>(HIWORD(lparam));
        }
        return 0;
    case WM_SHOWWINDOW:
        if (is_embed)
            fit_vis_window_on_show();
        return 0;
    case WM_CANCELMODE:
        cancel_mode(window);
        break;
    case WM_SETCURSOR:
        if (LOWORD(lparam) == HTCLIENT) {
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            return 1;
        }
        break;
    case WM_WINDOWPOSCHANGING:
        notify_vis_window(message, wparam, lparam);
        return 1;
    case WM_WINDOWPOSCHANGED:
        if (is_embed)
            bring_shown_frame_to_front(window, lparam);
        notify_vis_window(message, wparam, lparam);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case kKeyLast: {
        HWND vis = drawing_window();
        if (is_embed && vis)
            PostMessageA(vis, message, wparam, lparam);
        return 0;
    }
    case WM_COMMAND:
        return forward_to_player(message, wparam, lparam);
    case WM_EXITSIZEMOVE:
        if (is_embed)
            finish_size_move(window);
        return 0;
    case WM_USER:
        return answer_winamp_message(window, wparam, lparam);
    default:
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
