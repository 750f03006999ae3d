// What the module's two kinds of view window share: where a new view goes, and the window
// procedure that hands each message to the object that made the window.
#pragma once

#include <windows.h>

struct ViewPlacement {
    DWORD style;
    int x;
    int y;
    int width;
    int height;
};

// A child filling `frame`'s client area, in `child_style`; or, when `frame` is 0, a
// top-level window in `own_style` whose client area has the default size. False when the
// frame's client area cannot be read.
bool place_view(HWND frame, DWORD child_style, DWORD own_style, ViewPlacement* placement);

// The procedure of a view class. The object comes as the creation parameter; from
// WM_NCCREATE on it is kept in the window's user data and every message goes to its
// handle(message, wparam, lparam).
template <typename View>
LRESULT CALLBACK route_to_view(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* view = static_cast<View*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
        view->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<View*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!view)
        return DefWindowProcA(window, message, wparam, lparam);
    return view->handle(message, wparam, lparam);
}
