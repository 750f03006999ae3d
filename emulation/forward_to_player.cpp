#include "emulation/forward_to_player.h"

#include "host/wrapper_state.h"

LRESULT forward_to_player(UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND player = g_state.host_winamp_window;
    if (!player)
        return -1;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(player, message, wparam, lparam, SMTO_ABORTIFHUNG, kForwardTimeoutMs,
                             &answer))
        return -1;
    return static_cast<LRESULT>(answer);
}
