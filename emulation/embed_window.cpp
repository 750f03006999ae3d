#include "emulation/embed_window.h"

#include "emulation/embed_geometry.h"
#include "host/wrapper_state.h"
#include "runtime/memory_access.h"

HWND __cdecl provide_embed_window(EmbedWindowState* state)
{
    // A record the wrapper could not write is no request: nothing is read, moved or
    // remembered, and the answer is the one for no frame.
    if (!is_writable_memory(state, sizeof *state))
        return nullptr;
    HWND frame = g_state.embed_window;
    state->window = frame;

    RECT& rect = state->window_rect;
    const EmbedPlacement placement =
        place_embed_window({rect.left, rect.top, rect.right, rect.bottom}, g_state.client_width,
                           g_state.client_height, g_state.frame_extra_width,
                           g_state.frame_extra_height);
    rect.right = placement.rect.right;
    rect.bottom = placement.rect.bottom;
    // Before the move: the frame's WM_SIZE then overwrites these with the size the
    // platform actually granted.
    if (placement.accepted) {
        g_state.client_width = placement.client_width;
        g_state.client_height = placement.client_height;
    }

    // A refused move or size changes nothing the plug-in could act on.
    if (frame)
        SetWindowPos(frame, nullptr, placement.x, placement.y, placement.width, placement.height,
                     placement.flags);

    g_state.embed_state = state;
    return state->window;
}
