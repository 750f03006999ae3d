#include "emulation/playlist_title.h"

#include "emulation/forward_to_player.h"
#include "emulation/player_mirror.h"
#include "host/wrapper_state.h"
#include "runtime/memory_access.h"

namespace {

// The requests reach the main window on its thread and the frame on the plug-in's: a
// buffer of each width for each thread, so neither overwrites what the other handed out.
thread_local char g_narrow_title[kTitleCapacity];
thread_local wchar_t g_wide_title[kTitleCapacity];

}  // namespace

LRESULT answer_playlist_title(WPARAM wparam, LPARAM code)
{
    const LRESULT answer = forward_to_player(WM_USER, wparam, code);
    // 0 and -1 (no player window, no answer in time) are no string; neither is an address
    // that cannot be read.
    if (answer != 0 && answer != -1 && is_readable_memory(reinterpret_cast<const void*>(answer), 1))
        return answer;
    HWND parent = g_state.parent_window;
    if (code == kPlaylistTitleRequest) {
        g_narrow_title[0] = '\0';
        if (parent)
            GetWindowTextA(parent, g_narrow_title, kTitleCapacity);
        return reinterpret_cast<LRESULT>(g_narrow_title);
    }
    g_wide_title[0] = L'\0';
    if (parent)
        GetWindowTextW(parent, g_wide_title, kTitleCapacity);
    return reinterpret_cast<LRESULT>(g_wide_title);
}
