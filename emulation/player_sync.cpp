#include "emulation/player_sync.h"

#include "emulation/player_mirror.h"
#include "emulation/window_kind.h"
#include "host/wrapper_state.h"

#include <climits>
#include <initializer_list>
#include <ctime>

namespace {

constexpr int32_t kSyncIntervalTicks = 333;
constexpr LPARAM kSampleRateRequest = 126;
constexpr UINT kRequestTimeoutMs = 300;
constexpr UINT kTopmostFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

bool is_topmost(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// The title is asked for as a bounded request: GetWindowTextW sends WM_GETTEXT without a
// time-out to a window of this process, and the player's window may be on a thread that
// has stopped answering. False when the player did not answer in time.
bool mirror_title()
{
    wchar_t title[kTitleCapacity] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(g_state.host_winamp_window, WM_GETTEXT, kTitleCapacity,
                             reinterpret_cast<LPARAM>(title), SMTO_ABORTIFHUNG, kRequestTimeoutMs,
                             &copied))
        return false;
    SetWindowTextW(g_state.parent_window, title_to_mirror(title));
    return true;
}

// A query that fails (no window, a hung player, the time-out) keeps the last rate that
// was read, so no stale or already converted value is converted again.
void mirror_sample_rate()
{
    DWORD_PTR khz = 0;
    if (SendMessageTimeoutA(g_state.host_winamp_window, WM_USER, 0, kSampleRateRequest,
                            SMTO_ABORTIFHUNG, kRequestTimeoutMs, &khz))
        g_state.sample_rate_hz = sample_rate_from_khz(static_cast<int32_t>(khz));
}

void mirror_topmost()
{
    const bool wanted = g_state.host_app_window && g_state.stop_requested == 0 &&
                        is_topmost(g_state.host_app_window);
    for (HWND window : {g_state.vis_window.load(), g_state.embed_window.load(), g_state.parent_window.load()}) {
        // A child drawing window goes with its frame; topmost means nothing for it.
        if (window && !is_child_window(window) && is_topmost(window) != wanted)
            SetWindowPos(window, wanted ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kTopmostFlags);
    }
}

}  // namespace

void lay_parent_over_player(UINT flags)
{
    HWND parent = g_state.parent_window;
    RECT player = {};
    if (!parent || !g_state.host_app_window || !GetWindowRect(g_state.host_app_window, &player))
        return;
    SetWindowPos(parent, nullptr, player.left, player.top, player.right - player.left,
                 player.bottom - player.top, flags);
}

void sync_with_player()
{
    if (!g_state.parent_window || g_state.stop_requested != 0 || !g_state.host_app_window)
        return;
    const int32_t last = g_state.last_sync_clock;
    if (last != 0 && static_cast<int32_t>(clock()) - last <= kSyncIntervalTicks)
        return;
    // Any call made while the pass runs (a window procedure re-entering) sees no gap.
    g_state.last_sync_clock = INT_MAX;

    // A player that let the title request run out is not asked again in this pass, so a
    // pass costs one time-out at most.
    if (mirror_title())
        mirror_sample_rate();
    mirror_topmost();
    lay_parent_over_player(kSyncPlaceFlags);

    g_state.last_sync_clock = static_cast<int32_t>(clock());
}
