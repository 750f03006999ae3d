#include "d3d_view.h"

#include "covered_view_messages.h"
#include "view_creation.h"

namespace {

constexpr char kD3dViewClass[] = "VisExampleD3dView";
constexpr char kD3dViewTitle[] = "Example visualization (Direct3D 9)";

using CreateDirect3D = IDirect3D9*(WINAPI*)(UINT sdk_version);

}  // namespace

bool D3dView::create(HINSTANCE instance, HWND frame)
{
    instance_ = instance;
    const ViewKind kind = {kD3dViewClass, kD3dViewTitle, 0,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN};
    window_ = create_view_window(instance, frame, kind, route_to_view<D3dView>, this);
    if (!window_)
        return false;
    if (!start_direct3d()) {
        destroy();
        return false;
    }
    return true;
}

bool D3dView::start_direct3d()
{
    library_ = LoadLibraryA("d3d9.dll");
    if (!library_)
        return false;
    const auto create_direct3d = reinterpret_cast<CreateDirect3D>(
        reinterpret_cast<void*>(GetProcAddress(library_, "Direct3DCreate9")));
    direct3d_ = create_direct3d ? create_direct3d(D3D_SDK_VERSION) : nullptr;
    if (!direct3d_)
        return false;
    RECT client;
    if (!GetClientRect(window_, &client))
        return false;
    present_ = {};
    present_.BackBufferWidth = client.right;
    present_.BackBufferHeight = client.bottom;
    present_.BackBufferFormat = D3DFMT_UNKNOWN;  // the display's
    present_.BackBufferCount = 1;
    present_.SwapEffect = D3DSWAPEFFECT_DISCARD;
    present_.hDeviceWindow = window_;
    present_.Windowed = TRUE;
    // The host paces the frames; waiting for the display as well would halve the rate.
    present_.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    // FPU_PRESERVE: the device is made on the host's render thread, whose floating-point
    // precision is the host's, not Direct3D's to lower.
    const HRESULT made = direct3d_->CreateDevice(
        D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
        D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE, &present_, &device_);
    return SUCCEEDED(made) && device_;
}

void D3dView::stop_direct3d()
{
    if (device_)
        device_->Release();
    device_ = nullptr;
    if (direct3d_)
        direct3d_->Release();
    direct3d_ = nullptr;
    if (library_)
        FreeLibrary(library_);
    library_ = nullptr;
}

void D3dView::destroy()
{
    stop_direct3d();
    if (window_)
        DestroyWindow(window_);
    window_ = nullptr;
    // Fails, harmlessly, while another module's view still uses the class.
    if (instance_)
        UnregisterClassA(kD3dViewClass, instance_);
    instance_ = nullptr;
}

bool D3dView::reset_device(int width, int height)
{
    present_.BackBufferWidth = width;
    present_.BackBufferHeight = height;
    // The device holds nothing of its own pool that a reset would have to let go first.
    return SUCCEEDED(device_->Reset(&present_));
}

D3dView::FrameStart D3dView::begin_frame(IDirect3DDevice9** device, int* width, int* height)
{
    RECT client;
    if (!window_ || !device_ || !GetClientRect(window_, &client))
        return FrameStart::gone;
    const HRESULT level = device_->TestCooperativeLevel();
    if (level == D3DERR_DEVICELOST)
        return FrameStart::skip;  // until the device may be reset
    if (client.right <= 0 || client.bottom <= 0)
        return FrameStart::skip;  // minimised
    const bool resized = static_cast<UINT>(client.right) != present_.BackBufferWidth ||
                         static_cast<UINT>(client.bottom) != present_.BackBufferHeight;
    if ((level == D3DERR_DEVICENOTRESET || resized) && !reset_device(client.right, client.bottom))
        return FrameStart::skip;
    if (FAILED(device_->BeginScene()))
        return FrameStart::skip;
    *device = device_;
    *width = client.right;
    *height = client.bottom;
    return FrameStart::draw;
}

void D3dView::end_frame()
{
    if (!device_)
        return;
    device_->EndScene();
    // A lost device shows up in the next frame's cooperative level.
    device_->Present(nullptr, nullptr, nullptr, nullptr);
}

LRESULT D3dView::handle(UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND window = window_;
    LRESULT answer = 0;
    if (answer_covered_view_message(window, message, lparam, &answer))
        return answer;
    if (message == WM_NCDESTROY) {
        // Closed by the user, or with its frame: the device goes with the window.
        stop_direct3d();
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
