// The window a module draws in: a child filling the frame that the host offers, or a
// top-level window of its own. It owns the back buffer and shows it again whenever Windows
// asks (WM_PAINT) or someone captures it (WM_PRINTCLIENT).
#pragma once

#include "back_buffer.h"

#include <windows.h>

class ViewWindow {
public:
    ViewWindow() = default;
    ~ViewWindow() { destroy(); }
    ViewWindow(const ViewWindow&) = delete;
    ViewWindow& operator=(const ViewWindow&) = delete;

    // A child filling `frame`'s client area, or a hidden top-level window when `frame` is
    // 0. False when Windows refuses the window.
    bool create(HINSTANCE instance, HWND frame, COLORREF background);
    // Also unregisters the window class once no view of this DLL is left, so the DLL can
    // be unloaded. Works only on the thread that created the window.
    void destroy();

    // 0 once the window is gone, also when the user or the host destroyed it.
    HWND handle() const { return window_; }
    BackBuffer& buffer() { return buffer_; }
    // The colour a resized back buffer starts with, until the next frame is drawn.
    void set_background(COLORREF colour) { background_ = colour; }
    // Shows the back buffer in the window now.
    void present() const;

private:
    template <typename View>
    friend LRESULT CALLBACK route_to_view(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    void fit_buffer_to_client();

    HWND window_ = nullptr;
    HINSTANCE instance_ = nullptr;
    BackBuffer buffer_;
    COLORREF background_ = 0;
};
