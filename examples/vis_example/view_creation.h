// What the modules' kinds of view window share: how a view is made and where it goes,
// and the window procedure that hands each message to the object that made the window.
#pragma once

#include <windows.h>

// What differs between the kinds of view: the class, the title and the styles.
struct ViewKind {
    const char* class_name;
    const char* title;
    UINT class_style;
    DWORD child_style; // in the frame
    DWORD own_style;   // without one
};

// Registers the kind's class (once for the process) with `procedure` and makes the view: a
// child filling `frame`'s client area, or, when `frame` is 0, a top-level window whose client
// area has the default size. `view` is the creation parameter. 0 on failure.
HWND create_view_window(HINSTANCE instance, HWND frame, const ViewKind& kind, WNDPROC procedure,
                        void* view);

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
