// The window the OpenGL module draws in: like ViewWindow, a child filling the host's frame
// or a top-level window of its own, here with an OpenGL context on its device context.
// Each frame is also read back into a copy, so the window can answer WM_PRINTCLIENT as the
// GDI modules' windows do: OpenGL pixels are not something GDI can print.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

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
    // Keeps the copy of what was drawn, then shows it.
    void end_frame();

private:
    template <typename View>
    friend LRESULT CALLBACK route_to_view(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool start_opengl();
    void stop_opengl();
    void print_copy(HDC target) const;

    HWND window_ = nullptr;
    HINSTANCE instance_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
    // The client size the frame being drawn was begun with.
    int frame_width_ = 0;
    int frame_height_ = 0;
    // The last frame, bottom row first as OpenGL reads it, in the rows of a 24-bit DIB.
    std::vector<uint8_t> copy_;
    int copy_width_ = 0;
    int copy_height_ = 0;
};
