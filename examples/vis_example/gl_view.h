// The window the OpenGL module draws in: like ViewWindow, a child filling the host's frame
// or a top-level window of its own, here with an OpenGL context on its device context.
#pragma once

#include <windows.h>

class GlView {
public:
    GlView() = default;
    ~GlView() { destroy(); }
    GlView(const GlView&) = delete;
    GlView& operator=(const GlView&) = delete;

    // False, with nothing left behind, when Windows refuses the window or offers no
    // OpenGL pixel format for it (a display without OpenGL). The context is current on
    // the calling thread afterwards.
    bool create(HINSTANCE instance, HWND frame);
    // Works only on the thread that created the window.
    void destroy();

    // 0 once the window is gone, also when the user or the host destroyed it.
    HWND handle() const { return window_; }

    // Makes the context current and the viewport the client area; false once the window
    // is gone.
    bool begin_frame(int* width, int* height);
    // Shows what was drawn.
    void end_frame();

private:
    template <typename View>
    friend LRESULT CALLBACK route_to_view(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool start_opengl();
    void stop_opengl();

    HWND window_ = nullptr;
    HINSTANCE instance_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};
