// The window the Direct3D 9 module draws in: like ViewWindow, a child filling the host's
// frame or a top-level window of its own, here with a Direct3D 9 device whose back buffer
// is the client area. d3d9.dll is loaded only when such a view is made, so the GDI modules
// never pay for it.
#pragma once

#include <windows.h>

#include <d3d9.h>

class D3dView {
public:
    D3dView() = default;
    ~D3dView() { destroy(); }
    D3dView(const D3dView&) = delete;
    D3dView& operator=(const D3dView&) = delete;

    // False, with nothing left behind, when Windows refuses the window or no Direct3D 9
    // device can be made for it (no d3d9.dll, or a display without 3D).
    bool create(HINSTANCE instance, HWND frame);
    // Works only on the thread that created the window.
    void destroy();

    // 0 once the window is gone, also when the user or the host destroyed it.
    HWND handle() const { return window_; }

    enum class FrameStart { draw, skip, gone };
    // Fits the back buffer to the client area and begins a scene: `draw` with the device
    // and its size; `skip` while the device is lost; `gone` once the window or the device
    // is.
    FrameStart begin_frame(IDirect3DDevice9** device, int* width, int* height);
    // Ends the scene and shows it.
    void end_frame();

private:
    template <typename View>
    friend LRESULT CALLBACK route_to_view(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool start_direct3d();
    void stop_direct3d();
    // A new back buffer of the client's size; false when the device stays lost.
    bool reset_device(int width, int height);

    HWND window_ = nullptr;
    HINSTANCE instance_ = nullptr;
    HMODULE library_ = nullptr;
    IDirect3D9* direct3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    D3DPRESENT_PARAMETERS present_ = {};
};
