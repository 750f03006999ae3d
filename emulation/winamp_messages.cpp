#include "emulation/winamp_messages.h"

#include "emulation/forward_to_player.h"

LRESULT answer_winamp_message(HWND, WPARAM wparam, LPARAM code)
{
    return forward_to_player(WM_USER, wparam, code);
}
